# The tests of kxmsg as a user runs it, one script per concern. Included by
# tests/CMakeLists.txt.

if(TARGET kxmsg)
  foreach(concern io help fields values json messages)
    add_test(NAME kxmsg_${concern}
             COMMAND ${CMAKE_COMMAND} -DKXMSG=$<TARGET_FILE:kxmsg>
                     "-DEMULATOR=$<TARGET_PROPERTY:kxmsg,CROSSCOMPILING_EMULATOR>"
                     -DWORK=${CMAKE_CURRENT_BINARY_DIR}/kxmsg_${concern}
                     -DVERSION=${PROJECT_VERSION}
                     -P ${CMAKE_CURRENT_LIST_DIR}/kxmsg_${concern}_test.cmake)
  endforeach()
endif()
