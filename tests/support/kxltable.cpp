#include "kxltable.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

namespace kxltest {
namespace {

std::string unescape(const std::string &cell) {
  static const std::string kNames = "tnr0", kBytes("\t\n\r\0", 4);
  std::string bytes;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] != '\\' || i + 1 == cell.size()) {
      bytes += cell[i];
    } else if (cell[++i] == 'x') {
      bytes += static_cast<char>(std::stoi(cell.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      const std::size_t escape = kNames.find(cell[i]);
      bytes += escape == std::string::npos ? cell[i] : kBytes[escape];
    }
  }
  return bytes;
}

}  // namespace

long long Row::number(std::size_t i) const {
  std::size_t end = 0;
  const long long value = std::stoll((*this)[i], &end, 0);
  if (end != (*this)[i].size()) throw std::invalid_argument(file + ": not a number: " + (*this)[i]);
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
    rows.push_back(Row{file + ":" + std::to_string(number), {}});
    for (std::size_t start = 0, tab = 0; tab != std::string::npos; start = tab + 1) {
      tab = line.find('\t', start);
      rows.back().cells.push_back(unescape(line.substr(start, tab - start)));
    }
  }
  EXPECT_FALSE(rows.empty()) << "no rows in " << KXLTEST_TABLES << "/" << file;
  return rows;
}

}  // namespace kxltest
