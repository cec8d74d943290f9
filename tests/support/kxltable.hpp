// Test tables kept as data: testdata/tests/NAME.tsv holds one row a line,
// its cells separated by tabs. Blank lines and lines starting with '#' (the
// table's explanation) are skipped. A cell is C-escaped, so that any byte can
// stand in it: \t \n \r \\ \0 and \xHH.
#ifndef KXLI_TESTS_KXLTABLE_HPP_
#define KXLI_TESTS_KXLTABLE_HPP_

#include <cstddef>
#include <string>
#include <vector>

namespace kxltest {

struct Row {
  std::string file;  // "NAME.tsv:LINE", to name the row in a failure
  std::vector<std::string> cells;

  // The cell `i`; throws std::out_of_range (a test failure) past the last.
  const std::string &operator[](std::size_t i) const { return cells.at(i); }
  // The cell `i` read as an integer (decimal, 0x hex, or a sign in front).
  long long number(std::size_t i) const;
};

// The rows of testdata/tests/NAME.tsv, unescaped. A file that cannot be
// read or holds no row fails the calling test.
std::vector<Row> table(const std::string &name);

}  // namespace kxltest

#endif  // KXLI_TESTS_KXLTABLE_HPP_
