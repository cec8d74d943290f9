// KxlBin: each operation's result, codes, bytes, storage and trace, with
// storage failures and refused pointers injected for real; the rows are
// testdata/tests/str_binary.tsv. Then equality, copies and the item write.
#include "kxlbin.hpp"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "kxlmsg.hpp"
#include "kxlmsgtest.hpp"
#include "kxltable.hpp"

namespace {

using kxltest::binOf;
using kxltest::bytesOf;

// Codes and bytes, as "2/2004 'ab'", "null" for no storage.
std::string state(const KxlBin &v) {
  const std::string codes =
      std::to_string(v.completionCode()) + "/" + std::to_string(v.reasonCode()) + " ";
  if (v.dataPointer() == nullptr) return codes + "null/" + std::to_string(v.dataLength());
  return codes + "'" + bytesOf(v) + "'";
}

// What an operation reaches besides the byte string: the message holds
// "0123456789" at data offset 0, `field` 30 bytes of '#'.
struct In {
  KxlMsg message;
  KxlBin other{"0123456789", 10};
  std::string field = std::string(30, '#');
};

#define OP(...) [](KxlBin &v, In &in) -> bool { return (void)in, (void)v, __VA_ARGS__; }

// Each row: an operation on a byte string made of `initial`, under the fault
// the row injects, shown as: result, state(), the field where it changed,
// the message's data offset, the allocations made, "same" where the storage
// stayed where it was, and every text and exit record in order.
TEST(KxlBinTest, ResultStateAndTraceOfEachOperation) {
  const std::map<std::string, bool (*)(KxlBin &, In &)> operations = {
      {"set field", OP(v.set(in.field.data(), 8))},
      {"copy into field 8", OP(v.copyOut(&in.field[0], 8, '\0'))},
      {"copy into no buffer", OP(v.copyOut(nullptr, 8, ' '))},
      {"read as KXSTR", OP(in.message.setFormat("KXSTR"), v.pasteIn(in.message))},
      {"read", OP(v.pasteIn(in.message))},
      {"read item", OP(in.message.readItem(v))},
      {"read at 4", OP(in.message.setDataOffset(4) && in.message.readItem(v))},
      {"read at 10", OP(in.message.setDataOffset(10) && in.message.readItem(v))},
      {"length 12", OP(v.setDataLength(12))},
      {"length 4", OP(v.setDataLength(4))},
      {"length 10", OP(v.setDataLength(10))},
      {"length 0", OP(v.setDataLength(0))},
      {"set 3 of other", OP(v.set(in.other.dataPointer(), 3))},
      {"assign other", OP(v = in.other, false)},
      // The source may lie in the storage being replaced.
      {"set own", OP(v.set(v.dataPointer() + 2, 3) && v.set(v.dataPointer(), 3))},
      // A copy into a field; a null buffer goes with length 0.
      {"copy into 24 nul", OP(v.copyOut(&in.field[0], 24, '\0') && v.copyOut(nullptr, 0, ' '))},
      {"copy into 24", OP(v.copyOut(&in.field[0], 24, ' ') && v.copyOut(nullptr, 0, ' '))},
      {"copy into 8 *", OP(v.copyOut(&in.field[0], 8, '*') && v.copyOut(nullptr, 0, ' '))},
      {"copy into 1", OP(v.copyOut(&in.field[0], 1, ' ') && v.copyOut(nullptr, 0, ' '))},
  };
  std::set<std::string> used;
  for (const kxltest::Row &row : kxltest::table("str_binary")) {
    SCOPED_TRACE(row.file + ": " + row[0]);
    ASSERT_EQ(operations.count(row[0]), 1u);
    used.insert(row[0]);
    In in;
    ASSERT_TRUE(in.message.writeItem(in.other) && in.message.setDataOffset(0));
    KxlBin value = binOf(row[1]);
    const unsigned char *storage = value.dataPointer();
    kxltest::TraceCapture trace;
    std::optional<kxltest::AllocationFailure> failure;
    std::optional<kxltest::PointerRefusal> refusal;
    using Refusal = kxltest::PointerRefusal;
    if (row[2] == "no storage") failure.emplace(1, true);
    if (row[2] == "field refused") refusal.emplace(&in.field[7]);
    if (row[2] == "own refused") refusal.emplace(storage, value.dataLength(), Refusal::kWrite);
    if (row[2] == "writes refused") {
      refusal.emplace(reinterpret_cast<const void *>(1), SIZE_MAX - 1, Refusal::kWrite);
    }
    kxltest::AllocationCounter counter;
    std::string seen = std::to_string(operations.at(row[0])(value, in));
    seen += " " + state(value) + " at " + std::to_string(in.message.dataOffset()) + " +" +
            std::to_string(counter.count()) + (value.dataPointer() == storage ? " same" : "");
    failure.reset();
    refusal.reset();
    if (in.field != std::string(30, '#')) seen += " field '" + in.field + "'";
    for (const kxltest::TraceRecord &r : trace.records()) {
      const std::string function = " " + std::to_string(r.function);
      if (r.kind == XCS_TEXT) seen += function + ":" + r.text;
      if (r.kind == XCS_EXIT) seen += function + "=" + std::to_string(r.value);
    }
    EXPECT_EQ(seen, row[3]);
  }
  EXPECT_EQ(used.size(), operations.size());
}

#undef OP

TEST(KxlBinTest, ConstructionEqualityAndIsNull) {
  EXPECT_EQ(state(KxlBin(nullptr, 0)), "0/0 null/0");
  // A new byte string that cannot take its bytes is left empty with the codes.
  EXPECT_EQ(state(KxlBin(nullptr, 4)), "2/2004 null/0");
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_EQ(state(KxlBin("abc", 3)), "2/2071 null/0");
  }
  const std::string values[] = {"", {"\0", 1}, {"\0\0\0", 3}, "abc", {"abc\0", 4}, "abd"};
  for (const std::string &left : values) {
    for (const std::string &right : values) EXPECT_EQ(binOf(left) == binOf(right), left == right);
    EXPECT_EQ(binOf(left).isNull(), left == std::string(left.size(), '\0')) << left;
  }
  KxlBin failed = binOf("ab");
  ASSERT_FALSE(failed.set(nullptr, 1));
  EXPECT_TRUE(failed == binOf("ab"));  // codes are not compared
}

TEST(KxlBinTest, CopiesOwnTheirBytes) {
  auto source = std::make_unique<KxlBin>("0123456789ab", 12);
  ASSERT_FALSE(source->set(nullptr, 1));  // codes 2/2004 travel with the copies
  KxlBin constructed(*source);
  KxlBin assigned = binOf("same length!");
  assigned = *source;
  source.reset();
  const KxlBin &same = assigned;
  assigned = same;
  EXPECT_EQ(state(constructed) + " " + state(assigned),
            "2/2004 '0123456789ab' 2/2004 '0123456789ab'");
  assigned = KxlBin();
  EXPECT_EQ(assigned.dataPointer(), nullptr);
}

TEST(KxlBinItemTest, WrittenAsTheWholeData) {
  KxlMsg message;
  message.setCharacterSet(850);
  ASSERT_TRUE(message.write(11, "older data!"));
  KxlBin written = binOf("0123456789");
  EXPECT_TRUE(message.writeItem(written));
  EXPECT_EQ(std::string(message.bufferPointer(), message.messageLength()), "0123456789");
  EXPECT_EQ(
      kxltest::description(kxltest::formatOf(message), message.encoding(), message.characterSet()),
      kxltest::description("        ", kKxlNativeEncoding, 0));
}

}  // namespace
