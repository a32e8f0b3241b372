#compdef dravik-cli
# zsh completion for dravik-cli: its commands, its options and the values of
# --format; folders for the commands that read a drive folder, loaders for
# those that take a loader, settings files for check-settings, folders and
# loaders for compare, the actions and then folders for library, any file for
# the options that name one.

local -a commands
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
# Each command is offered the options it takes, as dravik-cli --help lists them.
local command=${words[(r)(pasport|passport|check-rom|specification|check-ldr|rename-ldr|default-settings|check-settings|compare|library)]}
local -a options
options=('(- *)'{-h,--help}'[show the help]' '(- *)--version[show the version]')
case $command in
  default-settings)
    options+=('--output=[write the default settings to a file]:file:_files')
    ;;
  check-settings)
    options+=('--format=[output format]:format:(text json)')
    ;;
  compare)
    options+=(
      '--format=[output format]:format:(text tsv json)'
      '--settings=[read the settings from a file]:settings file:_files'
      '--trim[values without trailing blanks]'
      '--command=[the one kind of block to compare]:block:(pasport passport specification check-rom check-ldr all)'
      '--only-differences[leave out the pairs that are the same]'
    )
    ;;
  library)
    options+=(
      '--format=[output format]:format:(text tsv json)'
      '--settings=[read the settings from a file]:settings file:_files'
      '--trim[names and values without trailing blanks]'
      '--library=[the library file or server]:library:_files'
      '--recursive[add: the drive folders below each folder]'
      '--match=[donors: the rows to match]:names:'
    )
    ;;
  *)
    options+=(
      '--format=[output format]:format:(text tsv json)'
      '--report=[also write the rows as a report]:report file:_files'
      '--settings=[read the settings from a file]:settings file:_files'
      '--trim[names and values without trailing blanks]'
    )
    ;;
esac

_arguments -S $options \
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
      compare) _files -g '*.(#i)(ldr|rpm)(-.)' ;;
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
