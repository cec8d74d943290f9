# kxmsg says what it can do: help in every spelling, for every command, on
# stdout with exit 0, and the library's version.

include(${CMAKE_CURRENT_LIST_DIR}/kxmsg_support.cmake)

foreach(spelling help -h --help)
  kxmsg(0 out ${spelling})
  expect("${out_stdout}" "^usage: kxmsg COMMAND")
  foreach(command build dump fields demo help --version)
    expect("${out_stdout}" "\n  ${command} ")
  endforeach()
endforeach()

foreach(command build dump fields demo)
  foreach(spelling "help;${command}" "${command};--help" "${command};-h")
    kxmsg(0 out ${spelling})
    expect("${out_stdout}" "^usage: kxmsg ${command}")
    expect_empty("${out_stderr}")
  endforeach()
endforeach()
# Help wins over the arguments around it.
kxmsg(0 out build -o "${WORK}/x.msg" --help)
expect("${out_stdout}" "^usage: kxmsg build")

regex_literal("${VERSION}" version)
kxmsg(0 out --version)
expect("${out_stdout}" "^kxmsg \\(kxli\\) ${version}\r?\n$")

# What is not a command still fails, with the overview after the reason.
kxmsg(1 out frobnicate)
expect("${out_stderr}" "^kxmsg: unknown command frobnicate\r?\n")
expect("${out_stderr}" "usage: kxmsg COMMAND")
kxmsg(1 out)
kxmsg(1 out demo extra)
