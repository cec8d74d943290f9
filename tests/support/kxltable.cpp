#include "kxltable.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace kxltest {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  throw std::invalid_argument(std::string("not a hex digit: ") + c);
}

std::string unescape(const std::string &cell) {
  std::string bytes;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] != '\\' || i + 1 == cell.size()) {
      bytes += cell[i];
      continue;
    }
    switch (cell[++i]) {
      case 't':
        bytes += '\t';
        break;
      case 'n':
        bytes += '\n';
        break;
      case 'r':
        bytes += '\r';
        break;
      case '0':
        bytes += '\0';
        break;
      case 'x':
        if (i + 2 >= cell.size()) throw std::invalid_argument("\\x needs two hex digits: " + cell);
        bytes += static_cast<char>(hexDigit(cell[i + 1]) * 16 + hexDigit(cell[i + 2]));
        i += 2;
        break;
      default:
        bytes += cell[i];
    }
  }
  return bytes;
}

}  // namespace

long long Row::number(std::size_t i) const {
  const std::string &cell = (*this)[i];
  char *end = nullptr;
  const long long value = std::strtoll(cell.c_str(), &end, 0);
  if (cell.empty() || *end != '\0') throw std::invalid_argument(file + ": not a number: " + cell);
  return value;
}

std::vector<Row> table(const std::string &name) {
  const std::string file = name + ".tsv";
  std::ifstream in(std::string(KXLTEST_TABLES) + "/" + file, std::ios::binary);
  std::vector<Row> rows;
  std::string line;
  for (std::size_t number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    Row row{file + ":" + std::to_string(number), {}};
    for (std::size_t start = 0;;) {
      const std::size_t tab = line.find('\t', start);
      row.cells.push_back(unescape(line.substr(start, tab - start)));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    rows.push_back(std::move(row));
  }
  EXPECT_FALSE(rows.empty()) << "no rows in " << KXLTEST_TABLES << "/" << file;
  return rows;
}

}  // namespace kxltest
