# kxmsg fields lists every settable field of every header kind and the
# trigger with its type and width, and build names the valid fields and the
# accepted values when it refuses one.

include(${CMAKE_CURRENT_LIST_DIR}/kxmsg_support.cmake)

set(text "text, at most")
set(number "number, a signed 32-bit integer")
# KIND|FIELD=DESCRIPTION|..., as the record types and the classes define them.
set(kinds
    "dlh|destinationQueueName=${text} 48 bytes|destinationQueueManagerName=${text} 48 bytes|putApplicationName=${text} 28 bytes|putDate=${text} 8 bytes|putTime=${text} 8 bytes"
    "vih|headerFlags=${number}|version=number, 1 or 2|UOWControl=${number}|getWaitInterval=${number}|linkType=${number}|outputDataLength=${number}|facilityKeepTime=${number}|ADSDescriptor=${number}|conversationalTask=${number}|cursorPosition=${number}|authenticator=${text} 8 bytes|replyToFormat=${text} 8 bytes|transactionIdentifier=${text} 4 bytes|facilityLike=${text} 4 bytes|attentionIdentifier=${text} 4 bytes|startCode=${text} 4 bytes|bridgeCancelCode=${text} 4 bytes|facilityToken=8 bytes, given as 16 hex digits"
    "oih|headerFlags=${number}|logicalTerminalOverride=${text} 8 bytes|messageFormatServicesMapName=${text} 8 bytes|replyToFormat=${text} 8 bytes|authenticator=${text} 8 bytes|transactionInstanceId=16 bytes, given as 32 hex digits"
    "wih|headerFlags=${number}|serviceName=${text} 32 bytes|serviceStep=${text} 8 bytes|messageToken=16 bytes, given as 32 hex digits"
    "rfh|headerFlags=${number}|referenceType=${text} 8 bytes|instanceId=24 bytes, given as 48 hex digits|sourceEnvironment=text of any length|sourceName=text of any length|destinationEnvironment=text of any length|destinationName=text of any length"
    "trg|queueName=${text} 48 bytes|processName=${text} 48 bytes|triggerData=${text} 64 bytes|applicationId=${text} 256 bytes|environmentData=${text} 128 bytes|userData=${text} 128 bytes")

kxmsg(0 all fields)
foreach(kind_fields ${kinds})
  string(REPLACE "|" ";" kind_fields "${kind_fields}")
  list(POP_FRONT kind_fields kind)
  kxmsg(0 one fields ${kind})
  foreach(field ${kind_fields})
    string(REPLACE "=" ";" field "${field}")
    list(GET field 0 name)
    list(GET field 1 description)
    foreach(listing "${one_stdout}" "${all_stdout}")
      expect("${listing}" "\n  ${name} +${description}\r?\n")
    endforeach()
  endforeach()
  expect("${all_stdout}" "(^|\n)${kind}: ")
endforeach()
# The fields a header write sets are shown with the reason, not as settable.
kxmsg(0 out fields dlh)
expect("${out_stdout}" "not set by build:\r?\n(  [^\n]*\n)*  encoding +the header write records")
expect("${out_stdout}" "  headerFlags +a dead-letter header's flags live in the object only")

kxmsg(1 out fields nosuchkind)
expect("${out_stderr}" "dlh, vih, oih, wih, rfh and trg")

# An unknown field names the valid ones; a bad value says what is accepted.
set(msg "${WORK}/x.msg")
kxmsg(1 out build -o "${msg}" --text a --header "dlh:noSuchField=1")
expect("${out_stderr}" "dlh \\(dead-letter header\\) has no field \"noSuchField\"; its settable fields are destinationQueueName, destinationQueueManagerName, putApplicationName, putDate, putTime\r?\n")
foreach(case "vih:version=3|number, 1 or 2"
             "vih:linkType=twelve|number, a signed 32-bit integer"
             "vih:linkType=4294967296|number, a signed 32-bit integer"
             "wih:messageToken=0011|16 bytes, given as 32 hex digits"
             "wih:messageToken=zz112233445566778899aabbccddeeff|16 bytes, given as 32 hex digits")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 header)
  list(GET case 1 accepted)
  kxmsg(1 out build -o "${msg}" --text a --header "${header}")
  expect("${out_stderr}" "^kxmsg: bad value for [a-z]+ field [A-Za-z]+: \"[^\"]*\"; it takes ${accepted}\r?\n")
endforeach()
if(EXISTS "${msg}")
  message(SEND_ERROR "a refused build wrote ${msg}")
endif()
