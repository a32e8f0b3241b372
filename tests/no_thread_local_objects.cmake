# Fails when a source of the programs keeps an object in thread_local storage.
# MinGW-w64 frees such storage before the object's destructor runs as a thread
# ends, so on Windows the destructor corrupts the heap: the folder list's
# collator did, and Dravik.exe and its tests then crashed or hung as they ended.
# Usage: cmake -DSOURCES=FOLDER -P no_thread_local_objects.cmake
file(GLOB_RECURSE sources "${SOURCES}/*.cpp" "${SOURCES}/*.h")
list(FILTER sources EXCLUDE REGEX "/(tests|bench|fuzz|build[^/]*)/")
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" lines REGEX "(^|[^_A-Za-z0-9])thread_local[^_A-Za-z0-9]")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH name "${SOURCES}" "${source}")
    string(STRIP "${line}" line)
    if(line MATCHES "^//")
      continue()
    endif()
    string(APPEND found "  ${name}: ${line}\n")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "thread_local storage in the programs' sources, which MinGW-w64 "
    "frees before the destructor runs as a thread ends:\n${found}")
endif()
