# What the kxmsg test scripts share: running kxmsg as a user does and
# checking what it printed. Included by each script, which is run as
#   cmake -DKXMSG=<kxmsg> [-DEMULATOR=<wine>] -DWORK=<dir> [-DVERSION=<v>] -P <script>

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Runs kxmsg with ARGN and checks its exit code. Sets OUT_VAR to stdout and
# stderr together, OUT_VAR_stdout and OUT_VAR_stderr to each alone.
function(kxmsg expected_exit out_var)
  execute_process(COMMAND ${EMULATOR} "${KXMSG}" ${ARGN}
                  RESULT_VARIABLE exit_code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT exit_code STREQUAL expected_exit)
    message(SEND_ERROR "kxmsg ${ARGN}: exit ${exit_code}, expected ${expected_exit}\n${out}\n${err}")
  endif()
  set(${out_var} "${out}${err}" PARENT_SCOPE)
  set(${out_var}_stdout "${out}" PARENT_SCOPE)
  set(${out_var}_stderr "${err}" PARENT_SCOPE)
endfunction()

function(expect text pattern)
  string(REGEX MATCH "${pattern}" found "${text}")
  if(NOT found)
    message(SEND_ERROR "expected /${pattern}/ in:\n${text}")
  endif()
endfunction()

function(expect_not text pattern)
  string(REGEX MATCH "${pattern}" found "${text}")
  if(found)
    message(SEND_ERROR "did not expect /${pattern}/ in:\n${text}")
  endif()
endfunction()

function(expect_empty text)
  if(NOT text STREQUAL "")
    message(SEND_ERROR "expected nothing, got:\n${text}")
  endif()
endfunction()

# `text` as a regular expression that matches it literally.
function(regex_literal text out_var)
  string(REGEX REPLACE "([][.*+?^$()|\\\\{}])" "\\\\\\1" escaped "${text}")
  set(${out_var} "${escaped}" PARENT_SCOPE)
endfunction()

# The bytes of `path` from `offset` on, as lower-case hex.
function(file_hex path offset out_var)
  file(READ "${path}" hex OFFSET ${offset} HEX)
  set(${out_var} "${hex}" PARENT_SCOPE)
endfunction()
