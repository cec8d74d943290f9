# Runs kxmsg the way a user does and checks its output and exit codes.
# Invoked by ctest: cmake -DKXMSG=<kxmsg> [-DEMULATOR=<wine>] -DWORK=<dir> -P kxmsg_test.cmake

file(MAKE_DIRECTORY "${WORK}")
set(failures 0)

function(kxmsg expected_exit out_var)
  execute_process(COMMAND ${EMULATOR} "${KXMSG}" ${ARGN}
                  RESULT_VARIABLE exit_code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT exit_code EQUAL expected_exit)
    message(SEND_ERROR "kxmsg ${ARGN}: exit ${exit_code}, expected ${expected_exit}\n${out}\n${err}")
  endif()
  set(${out_var} "${out}${err}" PARENT_SCOPE)
endfunction()

function(expect text pattern)
  string(REGEX MATCH "${pattern}" found "${text}")
  if(NOT found)
    message(SEND_ERROR "expected /${pattern}/ in:\n${text}")
  endif()
endfunction()

# The demo walks the road of one message and reads it back.
kxmsg(0 out demo)
expect("${out}" "format \"KXDEAD  \"")
expect("${out}" "destination queue name = \"ORDERS.IN\"")
expect("${out}" "text +\"Order 4711 could not be delivered\"")

# A chain of every header in front of a text, built and dumped back.
set(chain "${WORK}/chain.msg")
kxmsg(0 out build -o "${chain}" --text "hello, world" --character-set 850
      --header "rfh:sourceName=SRC,destinationEnvironment=ENV,destinationName=DEST,referenceType=REF"
      --header "dlh:destinationQueueName=Q1,destinationQueueManagerName=QM1"
      --header "wih:serviceName=SVC,serviceStep=STEP,messageToken=00112233445566778899aabbccddeeff"
      --header "oih:logicalTerminalOverride=LT1,authenticator=AUTH"
      --header "vih:version=1,transactionIdentifier=TRN1,linkType=2")
expect("${out}" "format \"KXHREF  \"")
kxmsg(0 out dump --json "${chain}")
expect("${out}" "\"chain\":\\[{\"kind\":\"rfh\"")
expect("${out}" "\"destinationName\":\"DEST\"")
expect("${out}" "{\"kind\":\"dlh\",\"format\":\"KXDEAD  \",\"offset\":118,\"length\":172")
expect("${out}" "\"destinationQueueName\":\"Q1\"")
expect("${out}" "\"messageToken\":\"00112233445566778899aabbccddeeff\"")
expect("${out}" "\"logicalTerminalOverride\":\"LT1\"")
expect("${out}" "{\"kind\":\"vih\",\"format\":\"KXVORN  \",\"offset\":494,\"length\":164")
expect("${out}" "\"transactionIdentifier\":\"TRN1\"")
expect("${out}" "\"characterSet\":850")
expect("${out}" "{\"kind\":\"str\",\"format\":\"KXSTR   \",\"offset\":658,\"length\":12,\"fields\":{\"text\":\"hello, world\"}}")
kxmsg(0 out dump "${chain}")
expect("${out}" "5\\. VORN bridge header")

# A trigger message, and its character form.
set(trigger "${WORK}/trigger.msg")
kxmsg(0 out build -o "${trigger}" --trigger "queueName=INITQ,processName=PROC,userData=hello")
kxmsg(0 out dump --character-form "${trigger}")
expect("${out}" "queueName +\"INITQ\"")
expect("${out}" "TMC    2INITQ")

# Bad input: each exits 2 with the reason, and the library's codes and text
# where the library found it.
file(WRITE "${WORK}/short.msg" "MD  ")
kxmsg(2 out dump "${WORK}/short.msg")
expect("${out}" "insufficient data: the file holds 4 bytes")

file(WRITE "${WORK}/wrongid.bin" "XYZ this is not a dead-letter header")
kxmsg(2 out dump --raw --format KXDEAD "${WORK}/wrongid.bin")
expect("${out}" "reason code 6107 \\(KXRC_WRONG_STRUCTURE_ID\\)")
expect("${out}" "KxlDeadLetterHeader::pasteIn \\(error\\): wrong structure id")

file(WRITE "${WORK}/shortdlh.bin" "DLH  but far fewer than 172 bytes")
kxmsg(2 out dump --raw --format KXDEAD "${WORK}/shortdlh.bin")
expect("${out}" "reason code 6114")
expect("${out}" "KxlCache::read \\(error\\): insufficient data")

kxmsg(2 out dump --raw --format ZZZZ "${WORK}/shortdlh.bin")
expect("${out}" "kxmsg knows no kind of content of this format")

kxmsg(2 out dump "${WORK}/does-not-exist.msg")
kxmsg(1 out frobnicate)
kxmsg(1 out build -o "${WORK}/x.msg" --text a --header "dlh:noSuchField=1")
