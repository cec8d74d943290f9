# kxmsg as a user runs it, one case file per concern (kxmsg_cases.cmake),
# and the user guide's code blocks, example programs built and run here.

if(TARGET kxmsg)
  foreach(concern road io help fields values json messages)
    add_test(NAME kxmsg_${concern}
             COMMAND ${CMAKE_COMMAND} -DKXMSG=$<TARGET_FILE:kxmsg>
                     "-DEMULATOR=$<TARGET_PROPERTY:kxmsg,CROSSCOMPILING_EMULATOR>"
                     -DWORK=${CMAKE_CURRENT_BINARY_DIR}/kxmsg_${concern}
                     -DVERSION=${PROJECT_VERSION} -DVECTORS=${PROJECT_SOURCE_DIR}/testdata/vectors
                     -DCASES=${CMAKE_CURRENT_LIST_DIR}/kxmsg_${concern}.txt
                     -P ${CMAKE_CURRENT_LIST_DIR}/kxmsg_cases.cmake)
  endforeach()
endif()

# Each guide example is a program that checks what the guide says of it.
file(GLOB kxl_guide_examples CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/examples/*.cpp)
foreach(example ${kxl_guide_examples})
  get_filename_component(name ${example} NAME_WE)
  add_executable(guide_${name} ${example})
  target_link_libraries(guide_${name} PRIVATE kxli)
  add_test(NAME guide_example_${name} COMMAND guide_${name})
endforeach()
add_test(NAME guide_code_blocks
         COMMAND ${CMAKE_COMMAND} -DGUIDE=${PROJECT_SOURCE_DIR}/docs/guide.md
                 -DSOURCE=${PROJECT_SOURCE_DIR}
                 -P ${CMAKE_CURRENT_LIST_DIR}/guide_blocks_test.cmake)
