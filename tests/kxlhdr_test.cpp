// The item and header protocol: structure id test, body write, record
// checks and reads, and the header write that puts a record in front of a
// message in place. The header write is compared, case by case, with the
// same write done step by step through the public cache operations.

#include "kxlhdr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "kxlfld.hpp"
#include "kxlmsg.hpp"
#include "kxltest.hpp"

namespace {

constexpr char kTestFormat[] = "KXTEST  ";
constexpr char kTestClass[] = "KxlTestHeader";
constexpr unsigned short kTestFunction = 77;

std::string pattern(std::size_t length, int seed = 0) {
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + seed) & 0xff);
  return bytes;
}

// The fixed record of the test header, 24 bytes.
struct TestRecord {
  char structureId[4];
  std::int32_t encoding;
  std::int32_t characterSet;
  char format[8];
  std::int32_t flags;
};
static_assert(sizeof(TestRecord) == 24, "test record layout");

// A header of this test's own: its fixed record, then a tail of any length
// written right after it (a second piece). Reading takes the fixed record.
class TestHeader : public KxlHdr {
 public:
  TestHeader() {
    std::memset(&record_, 0, sizeof record_);
    std::memcpy(record_.structureId, "TST ", 4);
    record_.encoding = 546;
    std::memset(record_.format, ' ', sizeof record_.format);
  }

  bool copyOut(KxlMsg &message) override {
    const Piece pieces[] = {{&record_, sizeof record_}, {tail_.data(), tail_.size()}};
    return writeHeader(message, pieces, 2, kTestFormat);
  }
  bool pasteIn(KxlMsg &message) override {
    static const Layout layout = {kTestClass, "TST ", kTestFormat, kTestFunction};
    return readHeader(message, layout, &record_, sizeof record_);
  }

  long characterSet() const override { return record_.characterSet; }
  long encoding() const override { return record_.encoding; }
  KxlStr format() const override { return kxlFieldText(record_.format, 8, false); }
  long headerFlags() const override { return record_.flags; }
  void setCharacterSet(long value) override {
    record_.characterSet = static_cast<std::int32_t>(value);
  }
  void setEncoding(long value) override { record_.encoding = static_cast<std::int32_t>(value); }
  void setFormat(const char *name) override { kxlSetFieldText(record_.format, 8, name, ' '); }
  void setHeaderFlags(long flags) override { record_.flags = static_cast<std::int32_t>(flags); }

  using KxlErr::setErrorCodes;
  using KxlErr::takeErrorCodes;

  void setTail(std::string tail) { tail_ = std::move(tail); }
  const std::string &tail() const { return tail_; }
  const TestRecord &record() const { return record_; }
  std::size_t length() const { return sizeof record_ + tail_.size(); }
  // What the header writes, as one block.
  std::string bytes() const {
    return std::string(reinterpret_cast<const char *>(&record_), sizeof record_) + tail_;
  }

 private:
  TestRecord record_;
  std::string tail_;
};

// A body item of this test's own: a record that replaces the message
// content, read back like a fixed record.
class BodyItem : public KxlItm {
 public:
  explicit BodyItem(std::string bytes) : bytes_(std::move(bytes)) {}
  bool copyOut(KxlMsg &message) override {
    return writeBody(message, bytes_.data(), bytes_.size(), "KXBODY  ");
  }
  bool pasteIn(KxlMsg &message) override {
    static const Layout layout = {"KxlTestBody", "BODY", "KXBODY  ", 78};
    return checkRecord(message, layout) && readRecord(message, &bytes_[0], bytes_.size());
  }
  using KxlErr::setErrorCodes;
  const std::string &bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

std::string messageBytes(const KxlMsg &message) {
  if (message.bufferPointer() == nullptr) return std::string();
  return std::string(message.bufferPointer(), message.messageLength());
}

std::string formatOf(const KxlMsg &message) {
  return std::string(message.descriptor()->format, sizeof message.descriptor()->format);
}

std::vector<std::pair<unsigned, std::string>> textsOf(const kxltest::TraceCapture &trace) {
  std::vector<std::pair<unsigned, std::string>> texts;
  for (const kxltest::TraceRecord &record : trace.records()) {
    if (record.kind == XCS_TEXT) texts.emplace_back(record.function, record.text);
  }
  return texts;
}

// ---------------------------------------------------------------------------
// The header write in place against the same write step by step.

// Which bytes the pointer check refuses during the write.
enum class Refusal { kNone, kRecord, kLastHeaderByte, kFrontOfBuffer, kAfterFront };

struct FrontCase {
  std::string name;
  bool automatic;
  std::size_t bufferLength;
  std::size_t content;
  std::size_t offset;
  std::size_t tail;
  long allocations;  // by the in-place write, besides the format text
  Refusal refusal;
};

void PrintTo(const FrontCase &c, std::ostream *os) { *os << c.name; }

// A message in the state a case starts from: content bytes, data offset,
// buffer of the given kind and length, format "KXSTR   ", character set 850.
class Start {
 public:
  explicit Start(const FrontCase &c) {
    if (c.automatic) {
      EXPECT_TRUE(message.resizeBuffer(c.bufferLength));
    } else {
      application.assign(c.bufferLength, '#');
      EXPECT_TRUE(message.useEmptyBuffer(application.data(), application.size()));
    }
    EXPECT_TRUE(message.write(c.content, pattern(c.content, 1).data()));
    EXPECT_TRUE(message.setDataOffset(c.offset));
    EXPECT_EQ(message.bufferLength(), c.bufferLength);
    message.setFormat("KXSTR   ");
    message.setCharacterSet(850);
    header.setTail(pattern(c.tail, 2));
    header.setHeaderFlags(5);
    // Codes from an earlier failure: kept on success, replaced on failure.
    header.setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  }

  std::vector<char> application;
  KxlMsg message;
  TestHeader header;
};

struct Outcome {
  bool result;
  std::size_t bufferLength;
  std::size_t messageLength;
  std::size_t dataOffset;
  std::string bytes;
  long completion;
  long reason;
  std::string format;
  long encoding;
  long characterSet;
  long headerCompletion;
  long headerReason;
  std::string headerBytes;
  std::vector<std::pair<unsigned, std::string>> texts;
};

Outcome outcomeOf(bool result, const Start &start, const kxltest::TraceCapture &trace) {
  const KxlMsg &m = start.message;
  return {result,
          m.bufferLength(),
          m.messageLength(),
          m.dataOffset(),
          messageBytes(m),
          m.completionCode(),
          m.reasonCode(),
          formatOf(m),
          m.encoding(),
          m.characterSet(),
          start.header.completionCode(),
          start.header.reasonCode(),
          start.header.bytes(),
          textsOf(trace)};
}

std::unique_ptr<kxltest::PointerRefusal> refuseInBuffer(Refusal refusal, const KxlMsg &message,
                                                        std::size_t front) {
  if (refusal == Refusal::kFrontOfBuffer) {
    return std::make_unique<kxltest::PointerRefusal>(message.bufferPointer(), 1,
                                                     kxltest::PointerRefusal::kWrite);
  }
  if (refusal == Refusal::kAfterFront) {
    return std::make_unique<kxltest::PointerRefusal>(message.bufferPointer() + front, 1,
                                                     kxltest::PointerRefusal::kWrite);
  }
  return nullptr;
}

Outcome writeInPlace(Start &start, Refusal refusal, long *allocations) {
  TestHeader &header = start.header;
  long formatAllocations;
  {
    kxltest::AllocationCounter counter;
    const KxlStr format = start.message.format();
    formatAllocations = counter.count();
  }
  std::unique_ptr<kxltest::PointerRefusal> refused =
      refuseInBuffer(refusal, start.message, header.length());
  if (refusal == Refusal::kRecord) {
    refused = std::make_unique<kxltest::PointerRefusal>(&header.record(), 1,
                                                        kxltest::PointerRefusal::kRead);
  } else if (refusal == Refusal::kLastHeaderByte) {
    refused = std::make_unique<kxltest::PointerRefusal>(
        header.tail().data() + header.tail().size() - 1, 1, kxltest::PointerRefusal::kRead);
  }
  kxltest::TraceCapture trace;
  kxltest::AllocationCounter counter;
  const bool result = header.copyOut(start.message);
  // The format text is made once the room is there.
  const bool described = formatOf(start.message) == kTestFormat;
  *allocations = counter.count() - (described ? formatAllocations : 0);
  return outcomeOf(result, start, trace);
}

// The header write as separate steps: room at the data offset, a copy of
// the whole content, the descriptions exchanged, the message cleared, the
// header's bytes written and the kept content written after them.
Outcome writeStepByStep(Start &start, Refusal refusal) {
  KxlMsg &message = start.message;
  TestHeader &header = start.header;
  std::unique_ptr<kxltest::PointerRefusal> refused =
      refuseInBuffer(refusal, message, header.length());
  kxltest::TraceCapture trace;
  bool result = message.moreBytes(header.length());
  if (result) {
    KxlCac kept(message);
    header.setEncoding(message.encoding());
    header.setCharacterSet(message.characterSet());
    header.setFormat(message.format());
    message.setEncoding(546);
    message.setCharacterSet(0);
    message.setFormat(kTestFormat);
    message.clearMessage();
    const std::string front = header.bytes();
    if (refusal == Refusal::kRecord) {
      refused = std::make_unique<kxltest::PointerRefusal>(front.data(), 1,
                                                          kxltest::PointerRefusal::kRead);
    } else if (refusal == Refusal::kLastHeaderByte) {
      refused = std::make_unique<kxltest::PointerRefusal>(front.data() + front.size() - 1, 1,
                                                          kxltest::PointerRefusal::kRead);
    }
    result = message.write(front.size(), front.data()) &&
             message.write(kept.messageLength(), kept.bufferPointer());
  }
  if (!result) header.takeErrorCodes(message);
  return outcomeOf(result, start, trace);
}

void expectSameOutcome(const Outcome &actual, const Outcome &expected) {
  EXPECT_EQ(actual.result, expected.result);
  EXPECT_EQ(actual.bufferLength, expected.bufferLength);
  EXPECT_EQ(actual.messageLength, expected.messageLength);
  EXPECT_EQ(actual.dataOffset, expected.dataOffset);
  EXPECT_TRUE(actual.bytes == expected.bytes) << "message bytes differ";
  EXPECT_EQ(actual.completion, expected.completion);
  EXPECT_EQ(actual.reason, expected.reason);
  EXPECT_EQ(actual.format, expected.format);
  EXPECT_EQ(actual.encoding, expected.encoding);
  EXPECT_EQ(actual.characterSet, expected.characterSet);
  EXPECT_EQ(actual.headerCompletion, expected.headerCompletion);
  EXPECT_EQ(actual.headerReason, expected.headerReason);
  EXPECT_TRUE(actual.headerBytes == expected.headerBytes) << "header bytes differ";
  EXPECT_EQ(actual.texts, expected.texts);
}

std::vector<FrontCase> frontCases() {
  constexpr std::size_t kFixed = sizeof(TestRecord);
  constexpr std::size_t kTail = 40;
  constexpr std::size_t kFront = kFixed + kTail;
  std::vector<FrontCase> cases;
  for (std::size_t content :
       {std::size_t{0}, std::size_t{1024}, std::size_t{65536}, std::size_t{1} << 20}) {
    const std::string size = "_content" + std::to_string(content);
    // Data offset at the end of the content.
    cases.push_back({"automaticGrowsForTheFront" + size, true, content, content, content, kTail, 1,
                     Refusal::kNone});
    cases.push_back({"applicationWithoutRoom" + size, false, content + kFront - 1, content, content,
                     kTail, 0, Refusal::kNone});
    std::vector<std::size_t> offsets{0};
    if (content != 0) offsets.push_back(content / 2);
    for (std::size_t offset : offsets) {
      const std::string at = size + "_offset" + std::to_string(offset);
      cases.push_back({"automaticWithRoom" + at, true, content + kFront, content, offset, kTail, 0,
                       Refusal::kNone});
      cases.push_back({"applicationWithRoom" + at, false, content + kFront + 5, content, offset,
                       kTail, 0, Refusal::kNone});
      if (content == 0) continue;
      cases.push_back({"automaticGrowsForTheContent" + at, true, content + kFront - 1, content,
                       offset, kTail, 1, Refusal::kNone});
      // A front longer than the content: both steps would grow the buffer.
      cases.push_back({"automaticGrowsTwice" + at, true, content, content, offset, content + 64, 1,
                       Refusal::kNone});
      cases.push_back({"applicationTakesTheHeaderOnly" + at, false, content + kFront - 1, content,
                       offset, kTail, 0, Refusal::kNone});
    }
  }
  const struct {
    const char *name;
    Refusal refusal;
  } refusals[] = {{"refusedRecord", Refusal::kRecord},
                  {"refusedTail", Refusal::kLastHeaderByte},
                  {"refusedFront", Refusal::kFrontOfBuffer},
                  {"refusedAfterFront", Refusal::kAfterFront}};
  for (const auto &r : refusals) {
    cases.push_back({std::string(r.name) + "_automatic", true, 200, 16, 4, kTail, 0, r.refusal});
    cases.push_back({std::string(r.name) + "_application", false, 200, 16, 4, kTail, 0, r.refusal});
  }
  return cases;
}

class KxlHdrFrontTest : public ::testing::TestWithParam<FrontCase> {};

TEST_P(KxlHdrFrontTest, InPlaceEqualsStepByStep) {
  const FrontCase &c = GetParam();
  Start inPlace(c);
  Start stepByStep(c);
  long allocations = 0;
  const Outcome actual = writeInPlace(inPlace, c.refusal, &allocations);
  const Outcome expected = writeStepByStep(stepByStep, c.refusal);
  expectSameOutcome(actual, expected);
  EXPECT_EQ(allocations, c.allocations);
  if (c.refusal == Refusal::kNone && expected.result) {
    EXPECT_EQ(actual.bytes.substr(c.tail + sizeof(TestRecord)), pattern(c.content, 1));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, KxlHdrFrontTest, ::testing::ValuesIn(frontCases()),
                         [](const ::testing::TestParamInfo<FrontCase> &info) {
                           return info.param.name;
                         });

TEST(KxlHdrTest, FailedGrowthChangesNothing) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  // Growth for the front, and growth only for the content after it: either
  // way the one allocation is made before anything changes.
  for (std::size_t bufferLength : {std::size_t{16}, std::size_t{16 + 64 - 1}}) {
    const FrontCase c{
        "", true, bufferLength,  16, bufferLength == 16 ? std::size_t{16} : std::size_t{0},
        40, 1,    Refusal::kNone};
    Start start(c);
    const std::string before = messageBytes(start.message);
    const std::string headerBefore = start.header.bytes();
    const std::size_t offsetBefore = start.message.dataOffset();
    kxltest::TraceCapture trace;
    {
      kxltest::AllocationFailure failure(1);
      EXPECT_FALSE(start.message.writeItem(start.header));
      EXPECT_EQ(failure.failed(), 1);
    }
    EXPECT_EQ(start.header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(start.header.reasonCode(), KXRC_STORAGE_NOT_AVAILABLE);
    EXPECT_EQ(start.message.reasonCode(), KXRC_STORAGE_NOT_AVAILABLE);
    EXPECT_EQ(textsOf(trace), (std::vector<std::pair<unsigned, std::string>>{
                                  {5, "KxlCache::resizeBuffer (error): storage not available"}}));
    EXPECT_EQ(messageBytes(start.message), before);
    EXPECT_EQ(start.message.bufferLength(), bufferLength);
    EXPECT_EQ(start.message.dataOffset(), offsetBefore);
    EXPECT_EQ(formatOf(start.message), "KXSTR   ");
    EXPECT_EQ(start.message.characterSet(), 850);
    EXPECT_EQ(start.header.bytes(), headerBefore);
  }
}

// A header whose pieces are longer than any buffer can be. Only their
// lengths are looked at: the write is refused before any byte is read.
class HugeHeader : public TestHeader {
 public:
  explicit HugeHeader(std::vector<std::size_t> lengths) : lengths_(std::move(lengths)) {}
  bool copyOut(KxlMsg &message) override {
    static const char anywhere = 0;
    std::vector<Piece> pieces;
    for (std::size_t length : lengths_) pieces.push_back({&anywhere, length});
    return writeHeader(message, pieces.data(), pieces.size(), kTestFormat);
  }

 private:
  std::vector<std::size_t> lengths_;
};

TEST(KxlHdrTest, SizesThatCannotBeRepresentedAreRefused) {
  // The room for the front at offset 10, the room for it and the content
  // after it, or the front's own length would wrap around.
  const struct {
    std::size_t offset;
    std::vector<std::size_t> lengths;
  } cases[] = {
      {10, {SIZE_MAX - 5}}, {0, {SIZE_MAX - 5}}, {0, {24, SIZE_MAX / 2 + 1, SIZE_MAX / 2 + 1}}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.lengths.size());
    const std::size_t offset = c.offset;
    KxlMsg message;
    ASSERT_TRUE(message.write(10, "0123456789"));
    ASSERT_TRUE(message.setDataOffset(offset));
    HugeHeader huge(c.lengths);
    kxltest::TraceCapture trace;
    kxltest::AllocationCounter counter;
    EXPECT_FALSE(huge.copyOut(message));
    EXPECT_EQ(counter.count(), 0);
    EXPECT_EQ(huge.reasonCode(), KXRC_STORAGE_NOT_AVAILABLE);
    EXPECT_EQ(textsOf(trace), (std::vector<std::pair<unsigned, std::string>>{
                                  {3, "KxlCache::moreBytes (error): storage not available"}}));
    EXPECT_EQ(messageBytes(message), "0123456789");
    EXPECT_EQ(message.dataOffset(), offset);
    EXPECT_EQ(formatOf(message), "        ");
  }
}

// ---------------------------------------------------------------------------
// The protocol through the test header.

TEST(KxlHdrTest, HeaderIntoAnEmptyMessage) {
  KxlMsg message;
  TestHeader header;
  ASSERT_TRUE(message.writeItem(header));
  EXPECT_EQ(message.messageLength(), 24u);
  EXPECT_EQ(message.dataOffset(), 24u);
  EXPECT_EQ(message.bufferLength(), 24u);
  EXPECT_EQ(formatOf(message), kTestFormat);
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  const char *bytes = message.bufferPointer();
  EXPECT_EQ(std::string(bytes, 4), "TST ");
  EXPECT_EQ(kxlGetInt32(bytes + 4), 546);
  EXPECT_EQ(kxlGetInt32(bytes + 8), 0);
  EXPECT_EQ(std::string(bytes + 12, 8), "        ");
  EXPECT_EQ(message.completionCode(), KXCC_OK);
}

TEST(KxlHdrTest, HeaderGoesInFrontAndComesBack) {
  KxlMsg message;
  ASSERT_TRUE(message.write(5, "hello"));
  ASSERT_TRUE(message.setDataOffset(2));  // ignored by the write
  message.setFormat("KXSTR   ");
  message.setCharacterSet(850);
  TestHeader header;
  ASSERT_TRUE(header.copyOut(message));
  EXPECT_EQ(message.messageLength(), 29u);
  EXPECT_EQ(message.dataOffset(), 29u);
  const std::string bytes = messageBytes(message);
  EXPECT_EQ(bytes.substr(0, 4), "TST ");
  EXPECT_EQ(kxlGetInt32(bytes.data() + 4), 546);
  EXPECT_EQ(kxlGetInt32(bytes.data() + 8), 850);
  EXPECT_EQ(bytes.substr(12, 8), "KXSTR   ");
  EXPECT_EQ(bytes.substr(24), "hello");
  EXPECT_EQ(header.characterSet(), 850);
  EXPECT_EQ(formatOf(message), kTestFormat);
  EXPECT_EQ(message.characterSet(), 0);

  ASSERT_TRUE(message.setDataOffset(0));
  TestHeader reader;
  kxltest::TraceCapture trace;
  ASSERT_TRUE(message.readItem(reader));
  EXPECT_TRUE(trace.texts().empty());
  EXPECT_EQ(message.dataOffset(), 24u);
  EXPECT_EQ(formatOf(message), "KXSTR   ");
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 850);
  EXPECT_EQ(std::memcmp(&reader.record(), &header.record(), sizeof(TestRecord)), 0);
  EXPECT_EQ(message.completionCode(), KXCC_OK);
}

TEST(KxlHdrTest, TwoHeadersChainTheirFormats) {
  KxlMsg message;
  ASSERT_TRUE(message.write(3, "abc"));
  message.setFormat("KXSTR   ");
  TestHeader inner;
  TestHeader outer;
  ASSERT_TRUE(message.writeItem(inner));
  ASSERT_TRUE(message.writeItem(outer));
  EXPECT_EQ(std::string(outer.record().format, 8), kTestFormat);
  EXPECT_EQ(std::string(inner.record().format, 8), "KXSTR   ");
  ASSERT_TRUE(message.setDataOffset(0));
  TestHeader first;
  TestHeader second;
  ASSERT_TRUE(message.readItem(first));
  ASSERT_TRUE(message.readItem(second));
  EXPECT_EQ(formatOf(message), "KXSTR   ");
  EXPECT_EQ(message.dataOffset(), 48u);
  EXPECT_EQ(message.dataLength(), 3u);
}

TEST(KxlHdrTest, ApplicationBufferThatTakesOnlyTheHeader) {
  std::vector<char> application(30);
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(application.data(), application.size()));
  ASSERT_TRUE(message.write(10, "0123456789"));
  ASSERT_TRUE(message.setDataOffset(0));
  message.setFormat("KXSTR   ");
  TestHeader header;
  kxltest::TraceCapture trace;
  EXPECT_FALSE(message.writeItem(header));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_TRUE(trace.sawText(3, "KxlCache::moreBytes (error): insufficient buffer"));
  EXPECT_EQ(message.messageLength(), 24u);
  EXPECT_EQ(message.dataOffset(), 24u);
  EXPECT_EQ(std::string(application.data(), 4), "TST ");
  EXPECT_EQ(std::string(application.data() + 12, 8), "KXSTR   ");
  EXPECT_EQ(formatOf(message), kTestFormat);
}

// A read refused by one of the checks: the text with the header's class
// name and function, the code, and message and header as they were.
struct CheckCase {
  const char *name;
  const char *data;
  long encoding;
  const char *format;
  long reason;
  const char *text;
};

class KxlHdrCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(KxlHdrCheckTest, RefusesInOrder) {
  const CheckCase &c = GetParam();
  KxlMsg message;
  std::string data = c.data;
  data.resize(40, 'z');
  ASSERT_TRUE(message.write(data.size(), data.data()));
  ASSERT_TRUE(message.setDataOffset(0));
  message.setEncoding(c.encoding);
  message.setFormat(c.format);
  message.setCharacterSet(37);
  TestHeader header;
  const TestRecord before = header.record();
  kxltest::TraceCapture trace;
  EXPECT_FALSE(message.readItem(header));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), c.reason);
  EXPECT_EQ(message.completionCode(), KXCC_FAILED);
  EXPECT_EQ(message.reasonCode(), c.reason);
  EXPECT_EQ(trace.texts(kTestFunction), std::vector<std::string>{c.text});
  EXPECT_EQ(std::memcmp(&header.record(), &before, sizeof before), 0);
  EXPECT_EQ(message.dataOffset(), 0u);
  EXPECT_EQ(message.encoding(), c.encoding);
  EXPECT_EQ(message.characterSet(), 37);
  EXPECT_EQ(formatOf(message), c.format);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, KxlHdrCheckTest,
    ::testing::Values(CheckCase{"structureIdBeforeEncodingAndFormat", "TSX ", 273, "KXSTR   ",
                                KXRC_WRONG_STRUCTURE_ID,
                                "KxlTestHeader::pasteIn (error): wrong structure id"},
                      CheckCase{"encodingBeforeFormat", "TST ", 273, "KXSTR   ",
                                KXRC_WRONG_ENCODING,
                                "KxlTestHeader::pasteIn (error): wrong message encoding"},
                      CheckCase{"format", "TST ", 546, "KXTESTS ", KXRC_WRONG_FORMAT,
                                "KxlTestHeader::pasteIn (error): wrong message format"}),
    [](const ::testing::TestParamInfo<CheckCase> &info) { return info.param.name; });

TEST(KxlHdrTest, ShortDataTakesTheMessagesCodes) {
  KxlMsg message;
  ASSERT_TRUE(message.write(20, "TST 0123456789abcdef"));
  ASSERT_TRUE(message.setDataOffset(0));
  message.setFormat(kTestFormat);
  message.setCharacterSet(37);
  TestHeader header;
  header.setCharacterSet(99);
  const TestRecord before = header.record();
  kxltest::TraceCapture trace;
  EXPECT_FALSE(message.readItem(header));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_DATA);
  EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_DATA);
  EXPECT_TRUE(trace.sawText(4, "KxlCache::read (error): insufficient data"));
  EXPECT_EQ(std::memcmp(&header.record(), &before, sizeof before), 0);
  EXPECT_EQ(message.dataOffset(), 0u);
  EXPECT_EQ(message.characterSet(), 37);
  EXPECT_EQ(formatOf(message), kTestFormat);
}

// ---------------------------------------------------------------------------
// Items.

TEST(KxlItmTest, StructureIdIsComparesFourBytesAtTheOffset) {
  KxlMsg message;
  ASSERT_TRUE(message.write(9, "xxABCDyyy"));
  ASSERT_TRUE(message.setDataOffset(2));
  kxltest::TraceCapture trace;
  EXPECT_TRUE(KxlItm::structureIdIs("ABCD", message));
  EXPECT_TRUE(KxlItm::structureIdIs("ABCDzz", message));
  EXPECT_TRUE(trace.texts().empty());

  const char *const misses[] = {nullptr, "ABCX", "xABC"};
  for (const char *id : misses) EXPECT_FALSE(KxlItm::structureIdIs(id, message));
  ASSERT_TRUE(message.setDataOffset(6));  // 3 bytes of data
  EXPECT_FALSE(KxlItm::structureIdIs("yyy", message));
  EXPECT_EQ(trace.texts(12),
            std::vector<std::string>(
                4, "KxlItem::structureIdIs (information): structure id is not equal"));
  EXPECT_EQ(trace.texts().size(), 4u);
  EXPECT_EQ(message.dataOffset(), 6u);
  EXPECT_EQ(message.completionCode(), KXCC_OK);
  EXPECT_EQ(message.reasonCode(), KXRC_NONE);
}

TEST(KxlItmTest, BodyReplacesTheContent) {
  KxlMsg message;
  ASSERT_TRUE(message.write(50, pattern(50).data()));
  message.setEncoding(273);
  message.setCharacterSet(850);
  BodyItem body("BODY and more");
  body.setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  ASSERT_TRUE(body.copyOut(message));
  EXPECT_EQ(messageBytes(message), "BODY and more");
  EXPECT_EQ(message.dataOffset(), 13u);
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_EQ(formatOf(message), "KXBODY  ");
  EXPECT_EQ(body.reasonCode(), KXRC_DATA_TRUNCATED);  // success leaves the item's codes

  ASSERT_TRUE(message.setDataOffset(0));
  BodyItem reader(std::string(13, '-'));
  ASSERT_TRUE(reader.pasteIn(message));
  EXPECT_EQ(reader.bytes(), "BODY and more");
  EXPECT_EQ(message.dataOffset(), 13u);
}

TEST(KxlItmTest, BodyThatDoesNotFitLeavesTheDescriptionAlone) {
  std::vector<char> application(8);
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(application.data(), application.size()));
  message.setFormat("KXSTR   ");
  message.setCharacterSet(850);
  BodyItem body("twelve bytes");
  kxltest::TraceCapture trace;
  EXPECT_FALSE(body.copyOut(message));
  EXPECT_EQ(body.completionCode(), KXCC_FAILED);
  EXPECT_EQ(body.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(trace.texts(),
            std::vector<std::string>{"KxlCache::moreBytes (error): insufficient buffer"});
  EXPECT_EQ(formatOf(message), "KXSTR   ");
  EXPECT_EQ(message.characterSet(), 850);
  EXPECT_EQ(message.messageLength(), 0u);
}

TEST(KxlItmTest, BodyWriteRefusedAfterTheDescriptionChanged) {
  KxlMsg message;
  BodyItem body("abc");
  kxltest::PointerRefusal refusal(body.bytes().data(), 1, kxltest::PointerRefusal::kRead);
  EXPECT_FALSE(message.writeItem(body));
  EXPECT_EQ(body.reasonCode(), KXRC_BUFFER_ERROR);
  EXPECT_EQ(message.reasonCode(), KXRC_BUFFER_ERROR);
  EXPECT_EQ(formatOf(message), "KXBODY  ");
  EXPECT_EQ(message.messageLength(), 0u);
}

}  // namespace
