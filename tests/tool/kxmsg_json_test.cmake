# dump --json writes valid UTF-8 JSON that gives the text back: UTF-8 as
# it is, control bytes as \u00NN, other bytes as \udcNN. The plain dump
# escapes what it cannot print, the same way with and without --raw.

include(${CMAKE_CURRENT_LIST_DIR}/kxmsg_support.cmake)

set(msg "${WORK}/cafe.msg")
kxmsg(0 out build -o "${msg}" --text "café ✓")
kxmsg(0 out dump --json "${msg}")
string(JSON text ERROR_VARIABLE error GET "${out_stdout}" chain 0 fields text)
if(error OR NOT text STREQUAL "café ✓")
  message(SEND_ERROR "JSON text \"${text}\" (${error}), expected \"café ✓\":\n${out_stdout}")
endif()
expect("${out_stdout}" "\"text\":\"café ✓\"")

# Bytes that are not UTF-8 and control bytes, in text and in a header field.
set(bytes "${WORK}/bytes.msg")
kxmsg(0 out build -o "${bytes}" --bytes 63ff01227f5cc3 --header "dlh:putDate=a\"b\\c")
set(text "${WORK}/mixed.msg")
kxmsg(0 out build -o "${text}" --text-file "${bytes}")
kxmsg(0 out dump --json "${text}")
string(JSON type ERROR_VARIABLE error TYPE "${out_stdout}" chain 0 fields text)
if(error OR NOT type STREQUAL "STRING")
  message(SEND_ERROR "not valid JSON (${error}):\n${out_stdout}")
endif()
expect("${out_stdout}" "c\\\\udcff\\\\u0001\\\\\"\\\\u007f\\\\\\\\\\\\udcc3\"")
kxmsg(0 out dump --json "${bytes}")
string(JSON date ERROR_VARIABLE error GET "${out_stdout}" chain 0 fields putDate)
if(error OR NOT date STREQUAL "a\"b\\c")
  message(SEND_ERROR "putDate \"${date}\" (${error}):\n${out_stdout}")
endif()

# The plain dump: the same escapes for the same data, read from a message
# file or as raw data.
kxmsg(0 file dump "${text}")
kxmsg(0 raw dump --raw --format KXSTR "${bytes}")
string(REGEX MATCH "     text +\"[^\n]*" file_line "${file_stdout}")
string(REGEX MATCH "     text +\"[^\n]*" raw_line "${raw_stdout}")
if(NOT file_line STREQUAL raw_line)
  message(SEND_ERROR "dump and dump --raw show the same text differently:\n${file_line}\n${raw_line}")
endif()
expect("${file_line}" "\"MD  \\\\x02\\\\x00")
expect("${file_line}" "c\\\\xff\\\\x01\\\\\"\\\\x7f\\\\\\\\\\\\xc3\"\r?$")
kxmsg(0 out dump "${msg}")
expect("${out_stdout}" "text +\"café ✓\"")
