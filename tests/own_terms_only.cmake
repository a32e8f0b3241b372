# Fails when a file of the tree, or a file's name, speaks of the program through
# a written model of it instead of in the program's own terms: the nouns that
# name such a model, a numbered part of it, or the model as a document that
# says or requires something (the patterns below). The firmware's table and
# command of that name and their rows are the program's own terms and pass, as
# does a package's, a desktop entry's or a control's own text, and the bytes,
# name or file of something as they were before the program changed them.
# Lines that wrap are read as one: words may stand on two lines, each behind
# a comment's marks. Each finding names the file and its line.
# Usage: cmake -DSOURCES=FOLDER -P own_terms_only.cmake
cmake_minimum_required(VERSION 3.20)
set(self "tests/own_terms_only.cmake")

# The files git tracks, and the new ones it does not ignore; where git does
# not answer, every file below the folder but build folders.
find_program(GIT git)
set(status 1)
if(GIT AND EXISTS "${SOURCES}/.git")
  execute_process(COMMAND "${GIT}" -c core.quotePath=false ls-files --cached --others
                    --exclude-standard
    WORKING_DIRECTORY "${SOURCES}" OUTPUT_VARIABLE listed RESULT_VARIABLE status
    ERROR_QUIET)
endif()
if(status EQUAL 0)
  string(REPLACE "\n" ";" names "${listed}")
else()
  file(GLOB_RECURSE names RELATIVE "${SOURCES}" "${SOURCES}/*")
  list(FILTER names EXCLUDE REGEX "^(\\.git|build[^/]*)/")
endif()
list(FILTER names EXCLUDE REGEX "\\.(png|jpg|ico|zip|rpm|ldr|bin)$")
list(REMOVE_ITEM names "${self}" "")

# Between two words: blanks, line breaks and the marks of comments.
set(gap "[ \t\r\n/#*]+")
set(word_end "([^a-z0-9]|$)")
# Each rule: a pattern and the words that, standing right after a match, make
# it the program's own terms (none: every match counts).
set(rules short_form model_noun written_model source_word per_document document_says)
set(short_form_pattern "(^|[^a-z0-9])specs?${word_end}")
set(model_noun_pattern "the${gap}description(${gap}of${gap}(a|an|the|its|each))?(${gap}[a-z]+)?")
set(model_noun_allowed package desktop entry command button control option field key
  line tag element metainfo program component row)
set(written_model_pattern "written${gap}description")
set(source_word_pattern "the${gap}original([a-z']*)(${gap}[a-z]+)?")
set(source_word_allowed file files name names bytes value values text folder path order content
  mode owner loader module row rows link size one case settings data line lines form)
set(firmware_terms table module row rows record records command version file files button
  block fuzzer harness plug)
set(per_document_pattern "(per|according${gap}to|conform(s|ing)?${gap}to|in${gap}line${gap}with|as${gap}in|see)${gap}the${gap}specification(${gap}[a-z]+|[^a-z0-9]|$)")
set(per_document_allowed ${firmware_terms})
set(part_pattern "(^|[^A-Za-z])Parts?[ \t]+[0-9]+(\\.[0-9]+)*")
set(document_says_pattern "the${gap}specification${gap}(says|said|say|describes|described|gives|gave|states|stated|requires|required|wants|asks|defines|defined|mandates|calls|specifies|demands|expects|tells|forbids)${word_end}")

set(found "")
# Appends "name:line: text" for each match of rule in the lowered text.
function(check name text rule)
  string(REGEX MATCHALL "${${rule}_pattern}" matches "${text}")
  set(from 0)
  foreach(match IN LISTS matches)
    string(SUBSTRING "${text}" ${from} -1 rest)
    string(FIND "${rest}" "${match}" at)
    math(EXPR at "${from} + ${at}")
    string(LENGTH "${match}" length)
    math(EXPR from "${at} + ${length}")
    # The word right after the match decides whether it is an allowed term.
    string(REGEX MATCH "[a-z]+$" last "${match}")
    if(match MATCHES "^the${gap}originall")
      continue() # "the originally ..."
    endif()
    if(last IN_LIST ${rule}_allowed)
      continue()
    endif()
    # The line of the match's first letter.
    string(REGEX MATCH "^[^A-Za-z]+" lead "${match}")
    string(LENGTH "${lead}" skip)
    math(EXPR before "${at} + ${skip}")
    string(SUBSTRING "${text}" 0 ${before} head)
    string(REGEX MATCHALL "\n" breaks "${head}")
    list(LENGTH breaks line)
    math(EXPR line "${line} + 1")
    string(REGEX REPLACE "${gap}" " " shown "${match}")
    string(STRIP "${shown}" shown)
    string(APPEND found "  ${name}:${line}: ${shown}\n")
  endforeach()
  set(found "${found}" PARENT_SCOPE)
endfunction()

foreach(name IN LISTS names)
  string(TOLOWER "${name}" lowered)
  if(lowered MATCHES "(^|[^a-z0-9])(specs?|originals?|description)([^a-z0-9]|$)")
    string(APPEND found "  ${name}: the file's name\n")
  endif()
  if(NOT EXISTS "${SOURCES}/${name}" OR IS_DIRECTORY "${SOURCES}/${name}")
    continue()
  endif()
  file(READ "${SOURCES}/${name}" text)
  # Characters that cut a CMake list become blanks, one for one, so that the
  # places of matches stay.
  string(REPLACE ";" " " text "${text}")
  string(REPLACE "[" " " text "${text}")
  string(REPLACE "]" " " text "${text}")
  # A numbered part is told by its capital, before the text is lowered.
  check("${name}" "${text}" part)
  string(TOLOWER "${text}" text)
  foreach(rule IN LISTS rules)
    check("${name}" "${text}" ${rule})
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "Speak of the program in its own terms, not through a written model of "
    "it:\n${found}")
endif()
