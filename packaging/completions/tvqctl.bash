# bash completion for tvqctl: its commands, profile names for "profile select"
# (from "tvqctl profile list"), and .pro or .macro files where a file is taken.

# Files ending in ".$1" (any letter case) and folders, for the word being completed.
_tvqctl_files() {
    local IFS=$'\n' f
    for f in $(compgen -f -- "$cur"); do
        if [[ -d $f || ${f,,} == *."$1" ]]; then
            COMPREPLY+=("$f")
        fi
    done
}

_tvqctl() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local command=${COMP_WORDS[1]-} verb=${COMP_WORDS[2]-}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "profile macro store frames apply help --help --version" -- "$cur"))
        return
    fi
    case $command in
        profile)
            if ((COMP_CWORD == 2)); then
                COMPREPLY=($(compgen -W "new show list select next previous" -- "$cur"))
                return
            fi
            case $verb in
                select)
                    if ((COMP_CWORD == 3)); then
                        local IFS=$'\n'
                        COMPREPLY=($(compgen -W "$(tvqctl profile list 2>/dev/null | cut -c3-)" \
                            -- "$cur"))
                    fi
                    ;;
                show) ((COMP_CWORD == 3)) && _tvqctl_files pro ;;
                new)
                    if ((COMP_CWORD == 4)); then
                        _tvqctl_files pro
                    elif ((COMP_CWORD == 5)); then
                        COMPREPLY=($(compgen -W "--force" -- "$cur"))
                    fi
                    ;;
            esac
            ;;
        macro)
            if ((COMP_CWORD == 2)); then
                COMPREPLY=($(compgen -W "show" -- "$cur"))
            elif ((COMP_CWORD == 3)); then
                _tvqctl_files macro
            fi
            ;;
        store) ((COMP_CWORD == 2)) && COMPREPLY=($(compgen -W "show" -- "$cur")) ;;
        frames | apply) ((COMP_CWORD == 2)) && _tvqctl_files pro ;;
        help | --help | -h)
            if ((COMP_CWORD == 2)); then
                COMPREPLY=($(compgen -W "profile macro store frames apply" -- "$cur"))
            elif ((COMP_CWORD == 3)); then
                case $verb in
                    profile) COMPREPLY=($(compgen -W "new show list select next previous" -- "$cur")) ;;
                    macro | store) COMPREPLY=($(compgen -W "show" -- "$cur")) ;;
                esac
            fi
            ;;
    esac
    return 0
}

complete -o filenames -F _tvqctl tvqctl
