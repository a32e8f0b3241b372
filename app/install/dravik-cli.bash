# bash completion for dravik-cli: its commands, its options and the values of
# --format; folders for the commands that read a drive folder, loaders for
# those that take a loader, settings files for check-settings, folders and
# loaders for compare, the actions and then folders for library, any file for
# the options that name one.

_dravik_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        --format)
            local formats='text tsv json'
            [[ " ${words[*]} " == *" check-settings "* ]] && formats='text json'
            COMPREPLY=($(compgen -W "$formats" -- "$cur"))
            return
            ;;
        --report | --settings | --output | --library)
            _filedir
            return
            ;;
        --match)
            return
            ;;
        --command)
            COMPREPLY=($(compgen -W 'pasport passport specification check-rom check-ldr all' \
                -- "$cur"))
            return
            ;;
    esac
    $split && return

    # The command is the first word that is neither an option nor its value.
    local i command= ended=
    for ((i = 1; i < cword; i++)); do
        if [[ ! $ended ]]; then
            case ${words[i]} in
                --) ended=1; continue ;;
                --format | --report | --settings | --output | --command | --library | --match) ((i++)); continue ;;
                -*) continue ;;
            esac
        fi
        command=${words[i]}
        break
    done

    if [[ $cur == -* && ! $ended ]]; then
        local options='--format --report --settings --trim --help --version'
        [[ $command == default-settings ]] && options='--output --help --version'
        [[ $command == check-settings ]] && options='--format --help --version'
        [[ $command == compare ]] &&
            options='--command --only-differences --format --settings --trim --help --version'
        [[ $command == library ]] &&
            options='--library --recursive --match --format --settings --trim --help --version'
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    case $command in
        '')
            COMPREPLY=($(compgen -W 'pasport passport check-rom specification
                check-ldr rename-ldr default-settings check-settings compare library' -- "$cur"))
            ;;
        pasport | passport | check-rom | specification)
            _filedir -d
            ;;
        check-ldr | rename-ldr)
            _filedir ldr
            ;;
        check-settings)
            _filedir ini
            ;;
        compare)
            # Two drive folders, two loaders or two passport modules.
            _filedir '@(ldr|rpm)'
            ;;
        library)
            # The action, then folders for the actions that decode one.
            local action=
            for ((i = i + 1; i < cword; i++)); do
                case ${words[i]} in
                    --library | --match | --format | --settings) ((i++)) ;;
                    -*) ;;
                    *) action=${words[i]}; break ;;
                esac
            done
            if [[ ! $action ]]; then
                COMPREPLY=($(compgen -W 'add list show remove find donors' -- "$cur"))
            elif [[ $action == add || $action == donors ]]; then
                _filedir -d
            fi
            ;;
    esac
} &&
    complete -F _dravik_cli dravik-cli

# ex: filetype=sh
