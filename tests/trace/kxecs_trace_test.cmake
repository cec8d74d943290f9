# Runs one test of kxli_tests with KXECS_TRACE naming a file, and checks that
# the records of the cache's first writes (made before the test installs a
# sink of its own) reached the file: the output is opened when kxecs is
# loaded, and while it is open the writes trace as they do for a sink.
# Invoked by ctest:
#   cmake -DTESTS=<kxli_tests> [-DEMULATOR=<wine>] -DCODES=<kxlcodes.hpp> -DWORK=<dir>
#         -P kxecs_trace_test.cmake

# The stage, component and function numbers the records carry, as
# kxlcodes.hpp names them.
file(STRINGS "${CODES}" definitions
     REGEX "^inline constexpr [a-z ]+ kKxl[A-Za-z]+ = [0-9]+;")
foreach(definition IN LISTS definitions)
  string(REGEX REPLACE "^inline constexpr [a-z ]+ (kKxl[A-Za-z]+) = ([0-9]+);.*$" "\\1;\\2"
         pair "${definition}")
  list(GET pair 0 name)
  list(GET pair 1 value)
  set(${name} ${value})
endforeach()
foreach(name kKxlStageTraced kKxlComponent kKxlFnCacheWrite)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "${CODES} does not define ${name}")
  endif()
endforeach()

file(MAKE_DIRECTORY "${WORK}")
set(output "${WORK}/trace.log")
file(REMOVE "${output}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "KXECS_TRACE=${output}"
                        ${EMULATOR} "${TESTS}" --gtest_filter=KxlCacTest.CursorOperationsAndACutBuffer
                RESULT_VARIABLE exit_code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT exit_code EQUAL 0)
  message(FATAL_ERROR "kxli_tests: exit ${exit_code}\n${out}\n${err}")
endif()
if(NOT EXISTS "${output}")
  message(FATAL_ERROR "KXECS_TRACE=${output}: no file written")
endif()
file(READ "${output}" trace)
foreach(line "kxecs init  component=0 function=0 value=${kKxlStageTraced}"
             "kxecs entry component=${kKxlComponent} function=${kKxlFnCacheWrite} value=0"
             "kxecs exit  component=${kKxlComponent} function=${kKxlFnCacheWrite} value=0")
  string(FIND "${trace}" "${line}\n" found)
  if(found EQUAL -1)
    message(SEND_ERROR "expected the line \"${line}\" in ${output}:\n${trace}")
  endif()
endforeach()
