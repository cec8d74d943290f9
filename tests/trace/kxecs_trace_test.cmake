# Runs one test of kxli_tests with KXECS_TRACE naming a file, and checks that
# the records of the cache's first writes (made before the test installs a
# sink of its own) reached the file: the output is opened when kxecs is
# loaded, and while it is open the writes trace as they do for a sink.
# Invoked by ctest:
#   cmake -DTESTS=<kxli_tests> [-DEMULATOR=<wine>] -DWORK=<dir> -P kxecs_trace_test.cmake

file(MAKE_DIRECTORY "${WORK}")
set(output "${WORK}/trace.log")
file(REMOVE "${output}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "KXECS_TRACE=${output}"
                        ${EMULATOR} "${TESTS}" --gtest_filter=KxlCacTest.CursorOperations*
                RESULT_VARIABLE exit_code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT exit_code EQUAL 0)
  message(FATAL_ERROR "kxli_tests: exit ${exit_code}\n${out}\n${err}")
endif()
if(NOT EXISTS "${output}")
  message(FATAL_ERROR "KXECS_TRACE=${output}: no file written")
endif()
file(READ "${output}" trace)
foreach(line "kxecs init  component=0 function=0 value=4"
             "kxecs entry component=31 function=9 value=0"
             "kxecs exit  component=31 function=9 value=0")
  string(FIND "${trace}" "${line}\n" found)
  if(found EQUAL -1)
    message(SEND_ERROR "expected the line \"${line}\" in ${output}:\n${trace}")
  endif()
endforeach()
