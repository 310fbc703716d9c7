# fish completion for tvqctl: its commands, profile names for "profile select"
# (from "tvqctl profile list"), and .pro or .macro files where a file is taken.

function __tvqctl_words_are
    set -l words (commandline -opc)
    test (count $words) -eq (math (count $argv) + 1); or return 1
    for i in (seq (count $argv))
        test "$words[(math $i + 1)]" = "$argv[$i]"; or return 1
    end
end

function __tvqctl_profiles
    tvqctl profile list 2>/dev/null | string sub --start 3
end

complete -c tvqctl -f
complete -c tvqctl -n '__fish_use_subcommand' -a 'profile macro store frames apply help'
complete -c tvqctl -n '__fish_use_subcommand' -l help -d 'the commands'
complete -c tvqctl -n '__fish_use_subcommand' -l version -d 'the version'
complete -c tvqctl -n '__tvqctl_words_are profile' -a 'new show list select next previous'
complete -c tvqctl -n '__tvqctl_words_are macro' -a show
complete -c tvqctl -n '__tvqctl_words_are store' -a show
complete -c tvqctl -n '__tvqctl_words_are help' -a 'profile macro store frames apply'
complete -c tvqctl -n '__tvqctl_words_are profile select' -a '(__tvqctl_profiles)'
complete -c tvqctl -n '__tvqctl_words_are profile show' -F -a '(__fish_complete_suffix .pro)'
complete -c tvqctl -n '__tvqctl_words_are apply' -F -a '(__fish_complete_suffix .pro)'
complete -c tvqctl -n '__tvqctl_words_are frames' -F -a '(__fish_complete_suffix .pro)'
complete -c tvqctl -n '__tvqctl_words_are macro show' -F -a '(__fish_complete_suffix .macro)'
