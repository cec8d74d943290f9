# kxmsg's own messages: one prefix, its own checks not dressed up as the
# library's reason codes, bad arguments refused with what is accepted, and
# short data reported as such.

include(${CMAKE_CURRENT_LIST_DIR}/kxmsg_support.cmake)

set(text "${WORK}/text.msg")
kxmsg(0 out build -o "${text}" --text hello)
file(WRITE "${WORK}/short.msg" "MD  ")
string(REPEAT "not a descriptor " 30 no_descriptor)
file(WRITE "${WORK}/noid.msg" "${no_descriptor}")

# kxmsg's own findings: one prefix, no library codes.
foreach(case "dump|${WORK}/short.msg|reading the message file: insufficient data: the file holds 4 bytes\\; a message file starts with a 364-byte descriptor"
             "dump|${WORK}/noid.msg|reading the message file: the file does not begin with a descriptor"
             "dump --raw --format ZZZZ|${text}|reading the part of format \"ZZZZ    \": kxmsg knows no kind of content of this format\\; it reads \"KXDEAD  \", ")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 command)
  list(GET case 1 path)
  list(GET case 2 reason)
  separate_arguments(command)
  kxmsg(2 out ${command} "${path}")
  expect("${out_stderr}" "^kxmsg: ${reason}")
  expect_not("${out}" "kxmsg: kxmsg:|reason code|KXRC_")
endforeach()
kxmsg(2 out dump --raw --format ZZZZ --json "${text}")
expect("${out_stdout}" ",\"error\":{\"what\":\"reading the part of format \\\\\"ZZZZ    \\\\\"\",\"text\":\"kxmsg knows")

# Fewer bytes than a structure id: insufficient data, not a wrong id.
file(WRITE "${WORK}/dl.bin" "DL")
kxmsg(2 out dump --raw --format KXDEAD "${WORK}/dl.bin")
expect("${out_stderr}" "^kxmsg: reading the dead-letter header: insufficient data: 2 bytes remain at offset 0, fewer than its 4-byte structure id")
find_program(HEAD head)
if(HEAD)
  kxmsg(0 out build -o "${WORK}/dlh.msg" --text x --header dlh)
  foreach(length 364 365)
    execute_process(COMMAND "${HEAD}" -c ${length} "${WORK}/dlh.msg"
                    OUTPUT_FILE "${WORK}/cut${length}.msg")
    kxmsg(2 out dump "${WORK}/cut${length}.msg")
    expect("${out_stderr}" "^kxmsg: reading the dead-letter header: insufficient data")
    expect_not("${out}" "6107|WRONG_STRUCTURE_ID")
  endforeach()
endif()

# Bad arguments: exit 1 with what is accepted.
set(msg "${WORK}/x.msg")
foreach(case "build -o ${msg} --bytes zz|--bytes takes hex digits \\(0-9, a-f\\), two for each byte\\; \"zz\" holds characters that are not hex digits"
             "build -o ${msg} --bytes abc|--bytes takes hex digits [^\n]*\"abc\" has an odd number of characters"
             "dump --raw --format WAYTOOLONGNAME ${text}|--format takes a format name of at most 8 characters, not \"WAYTOOLONGNAME\""
             "dump --json --character-form ${text}|--character-form is a hex dump for people\\; it does not go with --json"
             "dump --character-form ${text}|--character-form needs a trigger message\\; [^\n]* is not one \\(its body is text\\)")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 command)
  list(GET case 1 reason)
  separate_arguments(command)
  kxmsg(1 out ${command})
  expect("${out_stderr}" "^kxmsg: ${reason}")
  expect_not("${out}" "even number")
endforeach()
