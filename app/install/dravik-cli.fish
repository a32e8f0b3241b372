# fish completion for dravik-cli: its commands, its options and the values of
# --format; folders for the commands that read a drive folder, loaders for
# those that take a loader, settings files for check-settings, folders and
# loaders for compare, the actions and then folders for library, any file for
# the options that name one.

set -l commands pasport passport check-rom specification check-ldr rename-ldr default-settings check-settings compare library
set -l library_actions add list show remove find donors
set -l folder_commands pasport passport check-rom specification

complete -c dravik-cli -f
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a pasport -d 'the passport of a drive folder'
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a passport -d 'the passport of a drive folder'
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a check-rom -d 'every ROM image of a drive folder'
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a specification -d 'the specification table of a drive folder'
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a check-ldr -d 'the checksums and firmware code of a loader'
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a rename-ldr -d 'rename a loader after its checksum and firmware code'
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a default-settings -d 'the default content of Dravik.ini'
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a check-settings -d 'the problems of a settings file'
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a compare -d 'two drive folders or loaders side by side'
complete -c dravik-cli -n "not __fish_seen_subcommand_from $commands" -a library -d 'the library of drive folders'

complete -c dravik-cli -n "__fish_seen_subcommand_from $folder_commands" -a '(__fish_complete_directories)'
complete -c dravik-cli -n '__fish_seen_subcommand_from check-ldr rename-ldr' -a '(__fish_complete_suffix .ldr)'
complete -c dravik-cli -n '__fish_seen_subcommand_from check-settings' -a '(__fish_complete_suffix .ini)'
complete -c dravik-cli -n '__fish_seen_subcommand_from compare' -a '(__fish_complete_directories; __fish_complete_suffix .ldr; __fish_complete_suffix .rpm)'
complete -c dravik-cli -n "__fish_seen_subcommand_from library; and not __fish_seen_subcommand_from $library_actions" -a "$library_actions"
complete -c dravik-cli -n '__fish_seen_subcommand_from library; and __fish_seen_subcommand_from add donors' -a '(__fish_complete_directories)'

complete -c dravik-cli -l format -x -a 'text tsv json' -n 'not __fish_seen_subcommand_from check-settings default-settings' -d 'output format'
complete -c dravik-cli -l format -x -a 'text json' -n '__fish_seen_subcommand_from check-settings' -d 'output format'
complete -c dravik-cli -l report -r -F -n 'not __fish_seen_subcommand_from default-settings check-settings compare library' -d 'also write the rows as a report'
complete -c dravik-cli -l settings -r -F -n 'not __fish_seen_subcommand_from default-settings check-settings' -d 'read the settings from a file'
complete -c dravik-cli -l trim -n 'not __fish_seen_subcommand_from default-settings check-settings' -d 'names and values without trailing blanks'
complete -c dravik-cli -l command -x -a 'pasport passport specification check-rom check-ldr all' -n '__fish_seen_subcommand_from compare' -d 'the one kind of block to compare'
complete -c dravik-cli -l only-differences -n '__fish_seen_subcommand_from compare' -d 'leave out the pairs that are the same'
complete -c dravik-cli -l output -r -F -n '__fish_seen_subcommand_from default-settings' -d 'write the default settings to a file'
complete -c dravik-cli -l library -r -F -n '__fish_seen_subcommand_from library' -d 'the library file or server'
complete -c dravik-cli -l recursive -n '__fish_seen_subcommand_from library' -d 'the drive folders below each folder'
complete -c dravik-cli -l match -x -n '__fish_seen_subcommand_from library' -d 'the rows to match'
complete -c dravik-cli -s h -l help -d 'show the help'
complete -c dravik-cli -l version -d 'show the version'
