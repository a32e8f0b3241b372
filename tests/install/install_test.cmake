# Installs the build into an empty prefix and checks what a desktop and a
# shell find there: both programs, the desktop entry, the icon, the metainfo
# and the man page with the version, and a dravik-cli that runs.
# Called with -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -DDATADIR=... -DMANDIR=...

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(installed
  bin/Dravik
  bin/dravik-cli
  ${DATADIR}/applications/dravik.desktop
  ${DATADIR}/icons/hicolor/scalable/apps/dravik.svg
  ${DATADIR}/metainfo/dev.dravik.Dravik.metainfo.xml
  ${MANDIR}/man1/dravik-cli.1)
foreach(file IN LISTS installed)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

file(READ "${PREFIX}/${MANDIR}/man1/dravik-cli.1" man)
if(NOT man MATCHES "\"Dravik ${VERSION}\"")
  message(FATAL_ERROR "the man page does not carry version ${VERSION}")
endif()
file(READ "${PREFIX}/${DATADIR}/metainfo/dev.dravik.Dravik.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<release version=\"${VERSION}\" date=\"[0-9]+-[0-9]+-[0-9]+\"/>")
  message(FATAL_ERROR "the metainfo does not carry release ${VERSION}")
endif()
file(READ "${PREFIX}/${DATADIR}/applications/dravik.desktop" entry)
if(NOT entry MATCHES "\nExec=Dravik\n" OR NOT entry MATCHES "\nIcon=dravik\n")
  message(FATAL_ERROR "the desktop entry does not start Dravik with its icon")
endif()

execute_process(COMMAND "${PREFIX}/bin/dravik-cli" --help
                RESULT_VARIABLE status OUTPUT_VARIABLE help ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT help MATCHES "^Usage: dravik-cli ")
  message(FATAL_ERROR "the installed dravik-cli --help gave ${status}:\n${help}${errors}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
