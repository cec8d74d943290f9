# Doxygen input filter: builds the API reference from the headers' ordinary
# comments, which stay plain `//` (and `/* */` in the C header), read the
# way the headers are written:
#
#  - A full-line `//` comment documents what follows it. When it stands over
#    several declarations with no blank line or comment between them, it
#    documents each of them (a doxygen member group; DISTRIBUTE_GROUP_DOC
#    shares the text), except in a run with a constructor, the destructor,
#    an assignment or an override, where it documents the first declaration
#    only (an override without a comment of its own inherits the base's).
#  - Within a comment, a run of lines indented by three or more blanks is
#    example code.
#  - A trailing `// text` after a declaration documents that declaration;
#    in C, `/* text */` on a line of its own documents what follows it, and
#    a trailing one the member before it.
#  - The comment that opens a header documents the header's class when it
#    declares one, and otherwise the header itself. Free functions after the
#    class (comparisons, helpers) are listed with the class.
#
# No line is added or removed, so doxygen's line numbers stay right.

{ lines[NR] = $0 }

function is_comment(line) { return line ~ /^[ \t]*\/\// && line !~ /^[ \t]*\/\/\// }
function is_example(line) { return line ~ /^[ \t]*\/\/   / }
function is_declaration(line) {
  return line !~ /^[ \t]*$/ && line !~ /^[ \t]*\/[\/*]/ && line !~ /^[ \t]*#/ &&
         line !~ /^ *(public|protected|private):/
}
# The line without a trailing `// comment`.
function code_of(line) {
  sub(/[ \t]+\/\/ .*$/, "", line)
  return line
}

END {
  # The class the header is about: the first exported class it declares.
  subject = ""
  class_end = NR + 1
  for (i = 1; i <= NR; i++) {
    if (subject == "" && match(lines[i], /^class KXL_EXPORT [A-Za-z0-9_]+/)) {
      subject = substr(lines[i], 18, RLENGTH - 17)
    } else if (subject != "" && lines[i] ~ /^};/) {
      class_end = i
      break
    }
  }
  opening_end = 0
  if (is_comment(lines[1])) {
    while (opening_end < NR && is_comment(lines[opening_end + 1])) opening_end++
  }

  # The last lines of C comments that stand on lines of their own.
  in_c = 0
  for (i = 1; i <= NR; i++) {
    if (lines[i] ~ /^[ \t]*\/\*/) in_c = 1
    if (in_c && lines[i] ~ /\*\//) {
      c_comment_end[i] = 1
      in_c = 0
    }
  }

  # Comments over several declarations: mark the declarations as a group.
  for (i = opening_end + 1; i <= NR; i++) {
    if (!(is_comment(lines[i]) || (i in c_comment_end)) || is_comment(lines[i + 1])) continue
    first = i + 1
    last = first
    count = 0
    grouped = 1
    while (last <= NR && is_declaration(lines[last]) && lines[last] !~ /^[ \t]*}/) {
      code = code_of(lines[last])
      if (code ~ /\{$/) grouped = 0
      # Constructors, the destructor and assignment are documented one by
      # one; an override without a comment of its own inherits the base's.
      if (subject != "" && (code ~ ("^[ \t]*(explicit )?~?" subject "\\(") || code ~ /operator=\(/))
        grouped = 0
      if (code ~ /[ )]override[ ;]/) grouped = 0
      if (code ~ /[;}]$/) count++
      last++
    }
    last--
    if (!grouped || count < 2) continue
    if (i > class_end) {
      # Free functions listed with the class: doxygen takes \relates from a
      # member group's text into the next comment, so each declaration gets
      # the text of its own, and the comment itself stays plain.
      start = i
      while (start > 1 && is_comment(lines[start - 1])) start--
      text = ""
      for (j = start; j <= i; j++) {
        body = lines[j]
        sub(/^[ \t]*\/\/ ?/, "", body)
        text = text (text == "" ? "" : " ") body
        plain[j] = 1
      }
      for (j = first; j <= last; j++) {
        if (code_of(lines[j]) ~ /[;}]$/) related[j] = "/** " text " \\relates " subject " */ "
      }
      continue
    }
    match(lines[first], /^[ \t]*/)
    group_open[first] = RLENGTH
    group_close[last] = 1
  }

  in_code = 0
  for (i = 1; i <= NR; i++) {
    line = lines[i]
    if (i in plain) {
      print line
      continue
    }
    if (is_comment(line)) {
      match(line, /^[ \t]*\/\//)
      lead = substr(line, 1, RLENGTH - 2)
      body = substr(line, RLENGTH + 1)
      marker = "///"
      if (is_example(line)) {
        if (!in_code) marker = marker " \\code"
        in_code = 1
        body = " " substr(body, 4)
      } else if (in_code) {
        marker = marker " \\endcode"
        in_code = 0
      }
      last_of_comment = !is_comment(lines[i + 1])
      # An example that ends the comment closes on its own last line.
      if (in_code && !is_example(lines[i + 1])) {
        body = body " \\endcode"
        in_code = 0
      }
      if (i == opening_end) body = body (subject != "" ? " \\class " subject : " \\file")
      if (i > class_end && last_of_comment && lead == "") body = body " \\relates " subject
      print lead marker body
      continue
    }
    if (i == 1 && line ~ /^\/\* /) c_opening = 1
    if (c_opening && line ~ /\*\//) {
      # \file takes what follows it on its line as a file name: nothing.
      sub(/\*\//, "\\file */", line)
      c_opening = 0
    }
    if (line ~ /^[ \t]*\/\* /) {
      sub(/\/\* /, "/** ", line)
    } else if (line ~ /[;,][ \t]+\/\* /) {
      sub(/\/\* /, "/**< ", line)
    } else if (line ~ /[;{][ \t]+\/\/ /) {
      sub(/\/\/ /, "///< ", line)
    }
    if (i in related) line = related[i] line
    if (i in group_open) {
      line = substr(line, 1, group_open[i]) "/**@{*/ " substr(line, group_open[i] + 1)
    }
    if (i in group_close) {
      if (match(line, /[ \t]+\/\/\/< /)) {
        line = substr(line, 1, RSTART - 1) " /**@}*/" substr(line, RSTART)
      } else {
        line = line " /**@}*/"
      }
    }
    print line
  }
}
