# Installs the build into an empty prefix and checks what a desktop and a
# shell find there: both programs, the desktop entry, the icon, the metainfo,
# the man pages with the release, the licence and the bash, zsh and fish
# completions; both programs answer --help and --version without a display.
# Called with -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -DDATADIR=...
# -DMANDIR=... -DDOCDIR=... -DRELEASE_DATE=...

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(installed
  bin/Dravik
  bin/dravik-cli
  ${DATADIR}/applications/dev.dravik.Dravik.desktop
  ${DATADIR}/icons/hicolor/scalable/apps/dev.dravik.Dravik.svg
  ${DATADIR}/metainfo/dev.dravik.Dravik.metainfo.xml
  ${MANDIR}/man1/Dravik.1.gz
  ${MANDIR}/man1/dravik-cli.1.gz
  ${DATADIR}/zsh/vendor-completions/_dravik-cli
  ${DATADIR}/fish/vendor_completions.d/dravik-cli.fish
  ${DOCDIR}/copyright)
foreach(file IN LISTS installed)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

foreach(page Dravik dravik-cli)
  execute_process(COMMAND gzip -dc "${PREFIX}/${MANDIR}/man1/${page}.1.gz" OUTPUT_VARIABLE man)
  if(NOT man MATCHES "^\\.TH [A-Z-]+ 1 \"${RELEASE_DATE}\" \"Dravik ${VERSION}\"")
    message(FATAL_ERROR "the man page of ${page} does not carry release ${VERSION} of ${RELEASE_DATE}")
  endif()
endforeach()
file(READ "${PREFIX}/${DATADIR}/metainfo/dev.dravik.Dravik.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<release version=\"${VERSION}\" date=\"${RELEASE_DATE}\"/>")
  message(FATAL_ERROR "the metainfo does not carry release ${VERSION}")
endif()
file(READ "${PREFIX}/${DATADIR}/applications/dev.dravik.Dravik.desktop" entry)
if(NOT entry MATCHES "\nExec=Dravik --user-folder %f\n" OR NOT entry MATCHES "\nIcon=dev.dravik.Dravik\n")
  message(FATAL_ERROR "the desktop entry does not start Dravik in the user folder with its icon")
endif()

# Without a display the window system can't start: the answers come first.
foreach(call "dravik-cli;--help;^Usage: dravik-cli " "dravik-cli;--version;^dravik-cli ${VERSION}\n$"
             "Dravik;--help;^Usage: Dravik " "Dravik;--version;^Dravik ${VERSION}\n$")
  list(GET call 0 program)
  list(GET call 1 option)
  list(GET call 2 expected)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                          --unset=QT_QPA_PLATFORM "${PREFIX}/bin/${program}" ${option}
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR NOT output MATCHES "${expected}" OR NOT errors STREQUAL "")
    message(FATAL_ERROR "the installed ${program} ${option} gave ${status}:\n${output}${errors}")
  endif()
endforeach()

execute_process(COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/completion_test.sh" "${PREFIX}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the bash completion of dravik-cli failed")
endif()
file(REMOVE_RECURSE "${PREFIX}")
