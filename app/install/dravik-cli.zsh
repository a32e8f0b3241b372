#compdef dravik-cli
# zsh completion for dravik-cli: its commands, its options and the values of
# --format; folders for the commands that read a drive folder, loaders for
# those that take a loader, settings files for check-settings, folders and
# loaders for compare, the actions and then folders for library, any file for
# the options that name one.

local -a commands formats
commands=(
  'pasport:the passport of a drive folder'
  'passport:the passport of a drive folder'
  'check-rom:every ROM image of a drive folder'
  'specification:the specification table of a drive folder'
  'check-ldr:the checksums, firmware code, family and status of a loader'
  'rename-ldr:rename a loader after its ROM checksum and firmware code'
  'default-settings:the default content of Dravik.ini'
  'check-settings:the problems of a settings file'
  'compare:two drive folders or loaders side by side'
  'library:the library of drive folders'
)
formats=(text tsv json)
(( ${words[(I)check-settings]} )) && formats=(text json)

_arguments -S \
  '(- *)'{-h,--help}'[show the help]' \
  '(- *)--version[show the version]' \
  "--format=[output format]:format:(${formats[*]})" \
  '--report=[also write the rows as a report]:report file:_files' \
  '--settings=[read the settings from a file]:settings file:_files' \
  '--output=[default-settings: write a file]:file:_files' \
  '--trim[names and values without trailing blanks]' \
  '--command=[compare: the one block to compare]:block:(pasport specification check-rom all)' \
  '--only-differences[compare: leave out the pairs that are the same]' \
  '--library=[library: the library file or server]:library:_files' \
  '--recursive[library add: the drive folders below each folder]' \
  '--match=[library donors: the rows to match]:names:' \
  '1:command:->command' \
  '*:input:->input'

case $state in
  command)
    _describe -t commands 'dravik-cli command' commands
    ;;
  input)
    case $words[(r)(pasport|passport|check-rom|specification|check-ldr|rename-ldr|check-settings|compare|library)] in
      pasport | passport | check-rom | specification) _files -/ ;;
      check-ldr | rename-ldr) _files -g '*.(#i)ldr(-.)' ;;
      check-settings) _files -g '*.(#i)ini(-.)' ;;
      compare) _files -g '*.(#i)ldr(-.)' ;;
      library)
        if (( ${words[(I)(add|list|show|remove|find|donors)]} )); then
          _files -/
        else
          _values 'library action' add list show remove find donors
        fi
        ;;
    esac
    ;;
esac
