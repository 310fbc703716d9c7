#!/usr/bin/env bash
# The install tree and the Debian package of a build folder (default build/):
#   1. `cmake --install` into a temporary root: the desktop entry and the
#      AppStream metainfo validate, and the program and tvqctl run from it;
#   2. `cpack -G DEB`, unpacked with dpkg-deb into another root: the program
#      starts from there under a private X server, shows its window, and
#      ends with 0 on SIGTERM.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package test: $*" >&2
    exit 1
}

# 1. The install tree.
cmake --install "$build" --prefix "$work/install/usr" >/dev/null
app=io.github.tvq_config.TvqConfig
desktop-file-validate "$work/install/usr/share/applications/$app.desktop" ||
    fail "the desktop entry does not validate"
appstreamcli validate --no-net --pedantic "$work/install/usr/share/metainfo/$app.metainfo.xml" \
    >/dev/null || fail "the metainfo does not validate"
[ -f "$work/install/usr/share/icons/hicolor/scalable/apps/$app.svg" ] || fail "no icon"
[ -f "$work/install/usr/lib/udev/rules.d/70-tvq-r270.rules" ] || fail "no udev rule"
[ -n "$(find "$work/install/usr/lib" -path '*/tvq-config/res/user-guide.md')" ] ||
    fail "no user guide for Help"
# The manual pages read without a warning, and tvqctl's lists the commands
# its --help lists, no more and no fewer.
for page in tvq-config tvqctl; do
    manual="$work/install/usr/share/man/man1/$page.1.gz"
    [ -f "$manual" ] || fail "no manual page $page(1)"
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" 2>&1 \
        >/dev/null)
    [ -z "$warnings" ] || fail "$page(1) has warnings: $warnings"
done
lowercase_words='{ c = ""; for (i = 1; i <= NF && $i ~ /^[a-z]+$/ && i <= 2; i++) c = c (c ? " " : "") $i; print c }'
in_help=$("$work/install/usr/bin/tvqctl" --help | sed -n 's/^  tvqctl //p' |
    awk "$lowercase_words" | grep -vx 'help' | grep -v '^$' | sort)
in_manual=$(zcat "$work/install/usr/share/man/man1/tvqctl.1.gz" |
    sed -n '/^\.SH COMMANDS/,/^\.SH OPTIONS/p' | awk '/^\.TP/ { getline; print }' |
    sed 's/^\.[A-Z]* //; s/"//g' | awk "$lowercase_words" | grep -vx 'help' | sort)
[ "$in_help" = "$in_manual" ] ||
    fail "tvqctl(1) and tvqctl --help list other commands: $(diff <(echo "$in_help") <(echo "$in_manual") | tr '\n' ' ')"
for completion in bash-completion/completions/tvqctl zsh/vendor-completions/_tvqctl \
    fish/vendor_completions.d/tvqctl.fish; do
    [ -f "$work/install/usr/share/$completion" ] || fail "no completion $completion"
done
"$work/install/usr/bin/tvqctl" profile new Installed "$work/p.pro" ||
    fail "tvqctl does not run from the install tree"

# 2. The package, started under a private X server.
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack failed"
deb=$(ls "$build"/tvq-config_*_amd64.deb)
# Debian's checker, where it is installed, finds no error. Its warnings are
# kept on purpose: CPack calls ldconfig because the program's private
# libraries live under /usr/lib (in lib/tvq-config/, where ldconfig does not
# look), which costs nothing.
if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
        fail "lintian finds errors: $(grep '^E:' "$work/lintian.log" | tr '\n' ' ')"
fi
dpkg-deb -x "$deb" "$work/root"
# The server writes its display number once it is ready.
mkfifo "$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
display=""
read -r -t 20 display <"$work/display" || fail "no X server: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$display"
mkdir -m 0700 "$work/run"
env XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
    HOME="$work" "$work/root/usr/bin/tvq-config" 2>"$work/program.log" &
program=$!
pids+=("$program")
timeout 20 xdotool search --sync --onlyvisible --name "TERVANA" >/dev/null ||
    fail "the packaged program showed no window: $(tail -n 5 "$work/program.log")"
kill -TERM "$program"
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "the packaged program ended with $status"
[ -f "$work/data/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1/pro.data" ] ||
    fail "the packaged program wrote no store"
echo "package test: install tree and package passed ($(basename "$deb"))"
