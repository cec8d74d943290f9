# Runs one test of kxli_tests with KXECS_TRACE naming a file, and checks that
# the records of the cache's first writes (made before the test installs a
# sink of its own) reached the file: the output is opened when kxecs is
# loaded, and while it is open the writes trace as they do for a sink.
#   cmake -DTESTS=<kxli_tests> [-DEMULATOR=<wine>] -DCODES=<kxlcodes.hpp> -DWORK=<dir>
#         -P kxecs_trace_test.cmake

# The stage, component and function numbers the records carry, as
# kxlcodes.hpp names them.
file(READ "${CODES}" codes)
foreach(name kKxlStageTraced kKxlComponent kKxlFnCacheWrite)
  if(NOT codes MATCHES "inline constexpr [a-z ]+ ${name} = ([0-9]+);")
    message(FATAL_ERROR "${CODES} does not define ${name}")
  endif()
  set(${name} ${CMAKE_MATCH_1})
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "KXECS_TRACE=${WORK}/trace.log"
                        ${EMULATOR} "${TESTS}"
                        --gtest_filter=KxlCacTest.CursorOperationsAndACutBuffer
                RESULT_VARIABLE exit_code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT exit_code EQUAL 0)
  message(FATAL_ERROR "kxli_tests: exit ${exit_code}\n${out}\n${err}")
endif()
file(READ "${WORK}/trace.log" trace)
foreach(line "kxecs init  component=0 function=0 value=${kKxlStageTraced}"
             "kxecs entry component=${kKxlComponent} function=${kKxlFnCacheWrite} value=0"
             "kxecs exit  component=${kKxlComponent} function=${kKxlFnCacheWrite} value=0")
  string(FIND "${trace}" "${line}\n" found)
  if(found EQUAL -1)
    message(SEND_ERROR "no line \"${line}\" in ${WORK}/trace.log:\n${trace}")
  endif()
endforeach()
