# Every value build is given reaches the message as given, or is refused
# with the reason: over-long texts (unless --truncate), fields the header
# write sets or that never reach the message, and every byte of a text file.

include(${CMAKE_CURRENT_LIST_DIR}/kxmsg_support.cmake)

set(msg "${WORK}/x.msg")

# Refused: exit 1, the reason named, no file written.
set(long49 "1234567890123456789012345678901234567890123456789")
foreach(case "--header|dlh:putDate=123456789|dlh field putDate takes at most 8 bytes\\; \"123456789\" has 9 \\(--truncate cuts it\\)"
             "--header|wih:serviceStep=STEP12345|wih field serviceStep takes at most 8 bytes"
             "--trigger|queueName=${long49}|trg field queueName takes at most 48 bytes"
             "--header|dlh:encoding=273|field encoding cannot be set: the header write records the encoding"
             "--header|oih:characterSet=850|field characterSet cannot be set: the header write records the character set"
             "--header|dlh:headerFlags=1|field headerFlags cannot be set: a dead-letter header's flags live in the object only"
             "--header|vih:format=KXSTR|field format cannot be set: the header write records the format"
             "--header|vih:bridgeReturnCode=1|field bridgeReturnCode cannot be set: the bridge fills it in"
             "--header|vih:version=1,cursorPosition=5|vih field cursorPosition reaches the message only with version 2")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 option)
  list(GET case 1 value)
  list(GET case 2 reason)
  if(option STREQUAL "--trigger")
    kxmsg(1 out build -o "${msg}" --trigger "${value}")
  else()
    kxmsg(1 out build -o "${msg}" --text a ${option} "${value}")
  endif()
  expect("${out_stderr}" "^kxmsg: [^\n]*${reason}")
  if(EXISTS "${msg}")
    message(SEND_ERROR "the refused ${value} still wrote ${msg}")
    file(REMOVE "${msg}")
  endif()
endforeach()

# --truncate cuts, and says so.
kxmsg(0 out build -o "${msg}" --text a --truncate --header "dlh:putDate=123456789")
expect("${out_stderr}" "note: dlh field putDate cut to its 8 bytes")
kxmsg(0 out dump --json "${msg}")
expect("${out}" "\"putDate\":\"12345678\"")

# Honoured: the flags of the headers that carry them, and the cursor
# position of a version 2 bridge header.
kxmsg(0 out build -o "${msg}" --text a --header "wih:headerFlags=6"
      --header "vih:version=2,cursorPosition=5")
kxmsg(0 out dump --json "${msg}")
expect("${out}" "\"kind\":\"vih\"[^}]*\"cursorPosition\":5")
expect("${out}" "\"kind\":\"wih\"[^}]*\"headerFlags\":6")

# Every byte of a text file, null bytes included, reaches the message data
# and comes back from dump: the JSON string's escapes are decoded here and
# compared with the file. A message file holds null bytes (and bytes that
# are not UTF-8) in its descriptor; it serves as the text file.
set(seed "${WORK}/seed.msg")
kxmsg(0 out build -o "${seed}" --bytes 410042636166c3a9ff017f0a)
set(text_message "${WORK}/text.msg")
kxmsg(0 out build -o "${text_message}" --text-file "${seed}")
file_hex("${seed}" 0 seed_hex)
file_hex("${text_message}" 364 data_hex)
if(NOT data_hex STREQUAL seed_hex)
  message(SEND_ERROR "the message data differ from the text file:\n${data_hex}\n${seed_hex}")
endif()

kxmsg(0 out dump --json "${text_message}")
string(REGEX MATCH "\"text\":\"((\\\\.|[^\"\\\\])*)\"" found "${out_stdout}")
set(literal "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "\\\\u[0-9a-f][0-9a-f][0-9a-f][0-9a-f]|\\\\.|[^\\\\]" pieces "${literal}")
set(decoded "")
foreach(piece IN LISTS pieces)
  if(piece MATCHES "^\\\\u(00|dc)([0-9a-f][0-9a-f])$")
    string(APPEND decoded "${CMAKE_MATCH_2}")
  elseif(piece MATCHES "^\\\\(.)$")
    string(HEX "${CMAKE_MATCH_1}" hex)
    string(APPEND decoded "${hex}")
  else()
    string(HEX "${piece}" hex)
    string(APPEND decoded "${hex}")
  endif()
endforeach()
if(NOT decoded STREQUAL seed_hex)
  message(SEND_ERROR "dump --json does not give the text file back:\n${literal}\n${decoded}\n${seed_hex}")
endif()
