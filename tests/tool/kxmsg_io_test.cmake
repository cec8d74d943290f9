# Files kxmsg cannot read or write: one line with the path and the system's
# reason, exit 2, never an abort, and no partial file left behind.

include(${CMAKE_CURRENT_LIST_DIR}/kxmsg_support.cmake)

regex_literal("${WORK}" work)
set(missing "${WORK}/does-not-exist.msg")
regex_literal("${missing}" missing_pattern)

# A directory, or no file at all, where a file is read.
foreach(case "dump|${WORK}|${work}"
             "build -o ${WORK}/x.msg --text-file|${WORK}|${work}"
             "dump --raw --format KXSTR|${WORK}|${work}"
             "dump|${missing}|${missing_pattern}")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 command)
  list(GET case 1 path)
  list(GET case 2 path_pattern)
  separate_arguments(command)
  kxmsg(2 out ${command} "${path}")
  expect("${out_stderr}" "^kxmsg: cannot read ${path_pattern}: [^\r\n]+\r?\n$")
  expect_empty("${out_stdout}")
endforeach()
if(EXISTS "${WORK}/x.msg")
  message(SEND_ERROR "a failed build left ${WORK}/x.msg")
endif()

# Output paths that cannot be written: a directory that does not exist, and
# a directory. Nothing is reported written and nothing is left.
foreach(output "${WORK}/no-such-directory/x.msg" "${WORK}")
  regex_literal("${output}" output_pattern)
  kxmsg(2 out build -o "${output}" --text x)
  expect("${out_stderr}" "^kxmsg: cannot write ${output_pattern}: [^\r\n]+\r?\n$")
  expect_not("${out}" "wrote")
endforeach()

# A full device (Linux): the write fails at the flush, not silently.
if(EXISTS /dev/full AND NOT EMULATOR)
  kxmsg(2 out build -o /dev/full --text x)
  expect("${out_stderr}" "^kxmsg: cannot write /dev/full: [^\n]+\n$")
  expect_not("${out}" "wrote")
  execute_process(COMMAND "${KXMSG}" help OUTPUT_FILE /dev/full RESULT_VARIABLE exit_code
                  ERROR_VARIABLE err)
  if(NOT exit_code EQUAL 2 OR NOT err MATCHES "cannot write standard output")
    message(SEND_ERROR "help > /dev/full: exit ${exit_code}, ${err}")
  endif()
else()
  message(STATUS "no /dev/full here: the full-device cases are skipped")
endif()

# Writing over an existing file replaces it (a rename over an existing file,
# on every system) and leaves no temporary file.
set(message_file "${WORK}/replaced.msg")
kxmsg(0 out build -o "${message_file}" --text first)
kxmsg(0 out build -o "${message_file}" --text second)
kxmsg(0 out dump --json "${message_file}")
expect("${out}" "\"text\":\"second\"")
file(GLOB leftovers "${WORK}/*.tmp" "${WORK}/*kxmsg-*")
if(leftovers)
  message(SEND_ERROR "temporary files left: ${leftovers}")
endif()

# Paths are taken as UTF-8 on every system.
set(named "${WORK}/café ✓.msg")
kxmsg(0 out build -o "${named}" --text named)
kxmsg(0 out dump --json "${named}")
expect("${out}" "\"text\":\"named\"")
if(NOT EXISTS "${named}")
  message(SEND_ERROR "no file ${named}")
endif()
