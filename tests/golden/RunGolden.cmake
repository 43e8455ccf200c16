# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one golden case of quorvin-cli: copies the case's inputs into a fresh
# folder, runs the tool there with the case's arguments, and compares its
# standard output, standard error, exit status and every expected output
# file byte for byte.
#
# A case folder holds:
#   args       one argument per line (blank lines are kept as empty arguments)
#   samples    optional: names of files of examples/ to copy in, one per line
#   input/     optional: further input files, copied in
#   expected/  stdout, stderr, exit, and files/ with every file the run writes
#
# Called with -DCLI=... -DCASE=... -DEXAMPLES=... -DWORK=...
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

if(EXISTS "${CASE}/samples")
  file(STRINGS "${CASE}/samples" samples)
  foreach(name IN LISTS samples)
    file(COPY "${EXAMPLES}/${name}" DESTINATION "${WORK}")
  endforeach()
endif()
if(IS_DIRECTORY "${CASE}/input")
  file(COPY "${CASE}/input/" DESTINATION "${WORK}")
endif()

# The settings file named below holds nothing: every option at its default.
file(TOUCH "${WORK}/none.ini")

file(READ "${CASE}/args" text)
string(REGEX REPLACE "\n$" "" text "${text}")
string(REPLACE ";" "\\;" text "${text}")
string(REPLACE "\n" ";" args "${text}")

execute_process(
  COMMAND "${CLI}" --ini none.ini ${args}
  WORKING_DIRECTORY "${WORK}"
  OUTPUT_FILE "${WORK}/.stdout"
  ERROR_FILE "${WORK}/.stderr"
  RESULT_VARIABLE code)

set(failed FALSE)
function(expect_same expected actual)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${expected}" "${actual}"
                  RESULT_VARIABLE differ)
  if(differ)
    execute_process(COMMAND diff -u "${expected}" "${actual}")
    message(SEND_ERROR "differs from ${expected}")
  endif()
endfunction()

expect_same("${CASE}/expected/stdout" "${WORK}/.stdout")
expect_same("${CASE}/expected/stderr" "${WORK}/.stderr")
file(READ "${CASE}/expected/exit" want)
string(STRIP "${want}" want)
if(NOT code STREQUAL want)
  message(SEND_ERROR "exit status ${code}, expected ${want}")
endif()
file(GLOB outputs RELATIVE "${CASE}/expected/files" "${CASE}/expected/files/*")
foreach(name IN LISTS outputs)
  expect_same("${CASE}/expected/files/${name}" "${WORK}/${name}")
endforeach()
