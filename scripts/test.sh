#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. the normal build in build/ and all its tests (ctest), then its install
#      tree and Debian package (scripts/package-test.sh);
#   2. the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer
#      (build-asan/);
#   3. the threaded tests under ThreadSanitizer (build-tsan/);
#   4. each fuzzer of stored data for a bounded time (build-fuzz/, clang);
#   5. everything once more as a Release build (build-release/), which a
#      packager makes.
# Warnings are errors in all of these (TVQ_WERROR).
# Set TVQ_FUZZ_SECONDS to change the time per fuzzer (default 15; 0 skips).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${TVQ_JOBS:-2}
fuzz_seconds=${TVQ_FUZZ_SECONDS:-15}
passed=0
failed=0

# Runs ctest in a build folder and adds its counts to the totals.
run_ctest() {
    local dir=$1
    shift
    local log="$dir/ctest.log"
    local rc=0
    ctest --test-dir "$dir" -j"$jobs" --output-on-failure --timeout 600 "$@" 2>&1 | tee "$log" || rc=$?
    local line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
    if [ -z "$line" ]; then
        echo "test.sh: ctest in $dir ran no test" >&2
        failed=$((failed + 1))
        return
    fi
    bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [ "$rc" -eq 0 ] || [ "$bad" -gt 0 ] || failed=$((failed + 1))
}

scripts/install-deps.sh

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTVQ_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
echo "== tests"
run_ctest build
echo "== install tree and package"
if scripts/package-test.sh build; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

echo "== core tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTVQ_CORE_ONLY=ON \
    -DTVQ_SANITIZE=address,undefined -DTVQ_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_ctest build-asan

echo "== threaded tests with ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTVQ_CORE_ONLY=ON \
    -DTVQ_SANITIZE=thread -DTVQ_WERROR=ON >/dev/null
cmake --build build-tsan -j"$jobs"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    run_ctest build-tsan -R 'DeviceWorker|SendPath|DeviceState|SettingsPage|RealLibraries|ReceiverOnTheRealLibrary|TvqctlApply|X11Test|LayoutTest'

if [ "$fuzz_seconds" -gt 0 ]; then
    echo "== fuzzing the loaders, ${fuzz_seconds}s each"
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTVQ_CORE_ONLY=ON -DTVQ_FUZZ=ON -DTVQ_SANITIZE=address,undefined -DTVQ_WERROR=ON >/dev/null
    fuzzers=(profile_store macro_store profile_file macro_file settings_file desktop_entry)
    cmake --build build-fuzz -j"$jobs" --target fuzz_make_seeds "${fuzzers[@]/#/fuzz_}"
    corpus=build-fuzz/corpus
    mkdir -p "${fuzzers[@]/#/$corpus/}"
    build-fuzz/bin/fuzz_make_seeds "$corpus"
    for f in "${fuzzers[@]}"; do
        if build-fuzz/bin/fuzz_$f "$corpus/$f" -max_total_time="$fuzz_seconds" -max_len=400000 \
            -rss_limit_mb=4096 -print_final_stats=1 >"build-fuzz/$f.log" 2>&1; then
            runs=$(grep -E '^stat::number_of_executed_units' "build-fuzz/$f.log" | awk '{print $2}')
            echo "fuzz_$f: passed ($runs inputs)"
            passed=$((passed + 1))
        else
            echo "fuzz_$f: FAILED"
            tail -n 40 "build-fuzz/$f.log"
            failed=$((failed + 1))
        fi
    done
fi

echo "== Release build"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTVQ_WERROR=ON >/dev/null
if cmake --build build-release -j"$jobs" >build-release/build.log 2>&1; then
    echo "release build: passed"
    passed=$((passed + 1))
else
    echo "release build: FAILED"
    tail -n 40 build-release/build.log
    failed=$((failed + 1))
fi

echo
echo "all: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
