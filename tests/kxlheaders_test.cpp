// The header write against the same write done by the public cache operations; and what the
// golden vectors cannot see: refused reads, setters' cuts and widths, copies, VORN versions,
// untrusted reference offsets, dead-letter flags, the trigger's character form.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <tuple>
#include <utility>

#include "kxlhdrtest.hpp"
#include "kxli.hpp"
#include "kxlmsgtest.hpp"
#include "kxlpfx.hpp"
#include "kxltable.hpp"

namespace kxlhdrtest {
namespace {

using kxltest::CacheState;
using kxltest::description;
using kxltest::stateOf;
using kxltest::Texts;
using kxltest::textsOf;
using kxltest::TraceCapture;
std::string contentOf(const KxlMsg &message) {
  return std::string(message.bufferPointer(), message.messageLength());
}
template <class T>
std::string describe(const T &object) {
  return description(text(object.format()), object.encoding(), object.characterSet());
}

// Exactly `data`, data offset `offset`, described as given, character set 850.
void load(KxlMsg &message, const std::string &data, std::size_t offset, long encoding,
          const char *format) {
  message.clearMessage();
  ASSERT_TRUE(message.write(data.size(), data.data()) && message.setDataOffset(offset));
  message.setEncoding(encoding);
  message.setCharacterSet(850);
  message.setFormat(format);
}
std::string messageState(const KxlMsg &message) {
  return describe(message) + "|" + std::to_string(message.dataOffset()) + "|" + contentOf(message);
}

// The bytes an item writes into a new message, described as a header is.
std::string recordOf(KxlItm &item) {
  KxlMsg message;
  if (const auto *header = dynamic_cast<const KxlHdr *>(&item)) {
    message.setFormat(header->format());
    message.setEncoding(header->encoding());
    message.setCharacterSet(header->characterSet());
  }
  EXPECT_TRUE(item.copyOut(message));
  return contentOf(message);
}
std::string itemState(KxlItm &item) {
  const auto *header = dynamic_cast<const KxlHdr *>(&item);
  return recordOf(item) + (header == nullptr ? ""
                                             : "|" + describe(*header) + "|" +
                                                   std::to_string(header->headerFlags()));
}

using Exits = std::vector<std::int32_t>;
constexpr long kNative = kKxlNativeEncoding;

void setNames(KxlRfh &header, const char *sourceEnvironment, const char *sourceName,
              const char *destinationEnvironment, const char *destinationName) {
  header.setSourceEnvironment(sourceEnvironment);
  header.setSourceName(sourceName);
  header.setDestinationEnvironment(destinationEnvironment);
  header.setDestinationName(destinationName);
}

// Copies hold the source's state and codes after it is gone; a self-assignment changes nothing.
template <class T>
void expectCopies(KxlItm *item) {
  T *source = static_cast<T *>(item);
  const std::string state = itemState(*source), sourceCodes = codes(*source);
  T copy(*source);
  T assigned;
  assigned = *source;
  delete source;
  EXPECT_EQ(itemState(copy) + codes(copy), state + sourceCodes);
  EXPECT_EQ(itemState(assigned) + codes(assigned), state + sourceCodes);
  const T &same = assigned;
  assigned.clearErrorCodes();
  assigned = same;
  EXPECT_EQ(itemState(assigned) + codes(assigned), state + "0/0");
}

template <class T>
std::unique_ptr<KxlItm> make() {
  return std::make_unique<T>();
}

// A row of testdata/tests/hdr_kinds.tsv and its class's factory and copy check.
struct Kind {
  std::string className, formatName;
  unsigned function;          // of pasteIn
  bool traced;                // pasteIn traces its entry and exit
  std::size_t readFirst;      // bytes a read of too few bytes has taken when it fails
  std::string shortDataText;  // the text of too few bytes; empty: KxlCache::read's 6114
  std::string asItStands;     // a record a read takes byte for byte
  std::unique_ptr<KxlItm> (*make)();
  void (*copies)(KxlItm *);
};

const std::vector<Kind> &kinds() {
  using Type = std::pair<std::unique_ptr<KxlItm> (*)(), void (*)(KxlItm *)>;
  static const std::map<std::string, Type> types = {
      {"KxlDeadLetterHeader", {make<KxlDlh>, expectCopies<KxlDlh>}},
      {"KxlVORNBridgeHeader", {make<KxlVih>, expectCopies<KxlVih>}},
      {"KxlOXTBridgeHeader", {make<KxlOih>, expectCopies<KxlOih>}},
      {"KxlWorkHeader", {make<KxlWih>, expectCopies<KxlWih>}},
      {"KxlReferenceHeader", {make<KxlRfh>, expectCopies<KxlRfh>}},
      {"KxlTrigger", {make<KxlTrg>, expectCopies<KxlTrg>}}};
  static const std::vector<Kind> all = [] {
    std::vector<Kind> rows;
    for (const kxltest::Row &row : kxltest::table("hdr_kinds")) {
      std::string bytes = record(row.number(6), {at(0, row[7])}, 'r');
      std::istringstream fields(row[8]);
      for (int offset, value; fields >> offset >> value;) bytes = with(bytes, {at(offset, value)});
      const Type &type = types.at(row[0]);
      rows.push_back({row[0], row[1], static_cast<unsigned>(row.number(2)), row[3] == "1",
                      static_cast<std::size_t>(row.number(4)), row[5], bytes, type.first,
                      type.second});
    }
    return rows;
  }();
  return all;
}

// `item` refuses to read `message`: codes "item|message", the texts and the
// exits of `function` given, `readFirst` bytes taken, nothing else changed.
void expectRefused(KxlItm &item, KxlMsg &message, const std::string &codesAfter, const Texts &texts,
                   unsigned function, const Exits &exits, std::size_t readFirst) {
  const std::string before = messageState(message) + itemState(item);
  TraceCapture trace;
  EXPECT_FALSE(item.pasteIn(message));
  EXPECT_EQ(codes(item) + "|" + codes(message), codesAfter);
  EXPECT_EQ(textsOf(trace), texts);
  EXPECT_EQ(trace.entries(function), static_cast<int>(exits.size()));
  EXPECT_EQ(trace.exitValues(function), exits);
  EXPECT_TRUE(message.setDataOffset(message.dataOffset() - readFirst));
  EXPECT_EQ(messageState(message) + itemState(item), before);
}

// testdata/tests/hdr_refused_reads.tsv: refused with codes and text, nothing
// changed but, for too few bytes, what was read first.
TEST(KxlHeadersTest, RefusedReadsChangeNothing) {
  for (const Kind &kind : kinds()) {
    std::string good = recordOf(*kind.make());
    good[good.size() / 2] = 'M';  // shows a record taken by mistake
    for (const kxltest::Row &c : kxltest::table("hdr_refused_reads")) {
      SCOPED_TRACE(kind.className + " " + c.file);
      std::string data = good, format = kind.formatName;
      data.replace(3, c[0].size(), c[0]);
      data.resize(c.number(1) > 0 ? c.number(1) : data.size() + c.number(1));
      format.replace(8 - c[2].size(), c[2].size(), c[2]);
      KxlMsg message;
      load(message, "zz" + data, 2, static_cast<long>(c.number(3)), format.c_str());
      // Too few bytes: the message's read fails, unless the item says so itself.
      const bool tooFew = c[5].empty(), ownText = !tooFew || !kind.shortDataText.empty();
      const std::string text = !tooFew   ? kind.className + "::pasteIn (error): " + c[5]
                               : ownText ? kind.shortDataText
                                         : "KxlCache::read (error): insufficient data";
      Texts texts(c[6].empty() ? 0 : 1, {kKxlFnItemStructureIdIs, c[6]});
      texts.push_back({ownText ? kind.function : kKxlFnCacheRead, text});
      expectRefused(*kind.make(), message, "2/" + c[4] + (ownText ? "|0/0" : "|2/6114"), texts,
                    kind.function,
                    Exits(kind.traced ? 1 : 0, static_cast<std::int32_t>(c.number(4))),
                    tooFew ? kind.readFirst : 0);
    }
  }
}

// A read takes `asItStands` byte for byte; copies own record, names, codes.
// A header's format is padded and cut to 8, its integers kept to 32 bits.
TEST(KxlHeadersTest, ReadTakesTheRecordAsItStandsCopiesOwnItWidthsAreKept) {
  for (const Kind &kind : kinds()) {
    SCOPED_TRACE(kind.className);
    KxlItm *source = kind.make().release();
    KxlMsg message;
    load(message, "zz" + kind.asItStands + "tail", 2, kNative, kind.formatName.c_str());
    ASSERT_TRUE(source->pasteIn(message));
    EXPECT_EQ(message.dataOffset(), 2 + kind.asItStands.size());
    EXPECT_EQ(recordOf(*source), kind.asItStands);
    if (auto *rfh = dynamic_cast<KxlRfh *>(source)) setNames(*rfh, "", "sn", "de", "");
    if (auto *dlh = dynamic_cast<KxlDlh *>(source)) dlh->setHeaderFlags(5);
    EXPECT_FALSE(source->pasteIn(message));  // its codes travel with the copies
    kind.copies(source);
    const auto item = kind.make();
    auto *header = dynamic_cast<KxlHdr *>(item.get());
    if (header == nullptr) continue;
    header->setFormat("AB");
    std::string formats = text(header->format());
    header->setFormat("ABCDEFGHIJ");
    formats += text(header->format());
    header->setFormat(nullptr);
    header->setEncoding(static_cast<long>(INT64_C(0x100000111)));
    header->setCharacterSet(-1);
    header->setHeaderFlags(static_cast<long>(INT64_C(0x1fffffffe)));
    EXPECT_EQ(formats + describe(*header) + std::to_string(header->headerFlags()) + codes(*header),
              "AB      ABCDEFGH        /273/-1-20/0");
  }
}

// set("AB  ") reads back as `afterAB`; a longer text is cut to the width with
// 1/6115 in the string class's record, never the item's; null reads back as
// `afterNull`. One of each pad is here; the vectors read every field's pad.
template <class T>
void expectTextField(void (T::*set)(const char *), KxlStr (T::*get)() const, std::size_t width,
                     const std::string &afterAB = "AB", const std::string &afterNull = "") {
  SCOPED_TRACE(width);
  T item;
  (item.*set)("AB  ");
  std::string readBack = text((item.*get)()) + "|";
  std::string tooLong;
  for (std::size_t i = 0; i < width + 2; ++i) tooLong += static_cast<char>('a' + i % 26);
  KxlStr::copy(nullptr, 1, "x", ' ');  // another code in the string class's record
  (item.*set)(tooLong.c_str());
  readBack += text((item.*get)()) + "|" + std::to_string(KxlStr::staticCompletionCode()) + "/" +
              std::to_string(KxlStr::staticReasonCode());
  (item.*set)(nullptr);
  EXPECT_EQ(readBack + "|" + text((item.*get)()) + "|" + codes(item),
            afterAB + "|" + tooLong.substr(0, width) + "|1/6115|" + afterNull + "|0/0");
}

TEST(KxlHeadersTest, SettersPadCutFillOrTakeExactlyTheirWidth) {
  expectTextField(&KxlDlh::setPutApplicationName, &KxlDlh::putApplicationName, 28);
  expectTextField(&KxlOih::setReplyToFormat, &KxlOih::replyToFormat, 8, "AB      ", "        ");
  expectTextField(&KxlOih::setAuthenticator, &KxlOih::authenticator, 8, "AB  ");
  expectTextField(&KxlTrg::setApplicationId, &KxlTrg::applicationId, 256);
  KxlRfh header;  // the names take any length, null as empty
  header.setSourceEnvironment(nullptr);
  header.setDestinationName("");
  EXPECT_EQ(text(header.sourceEnvironment()) + "|" + text(header.destinationName()), "|");
  expectBinaryField(
      &KxlOih::setTransactionInstanceId, &KxlOih::setTransactionInstanceId,
      &KxlOih::transactionInstanceId, 16, kKxlFnOxtSetTransactionInstanceId,
      "KxlOXTBridgeHeader::setTransactionInstanceId (error): binary data length error", true);
  expectBinaryField(&KxlWih::setMessageToken, &KxlWih::setMessageToken, &KxlWih::messageToken, 16,
                    kKxlFnWorkSetMessageToken,
                    "KxlWorkHeader::setMessageToken (error): binary data length error\n", false);
  expectBinaryField(&KxlVih::setFacilityToken, &KxlVih::setFacilityToken, &KxlVih::facilityToken, 8,
                    kKxlFnVornSetFacilityToken,
                    "KxlVORNBridgeHeader::setFacilityToken (error): binary data length error\n",
                    true);
  expectBinaryField(&KxlRfh::setInstanceId, &KxlRfh::setInstanceId, &KxlRfh::instanceId, 24,
                    kKxlFnReferenceSetInstanceId,
                    "KxlReferenceHeader::setInstanceId (error): binary data length error", false);
}

// Reads its flags 100 higher and stores twice them: which accessors run.
class ShiftedFlags : public KxlDlh {
 public:
  using KxlDlh::operator=;
  long headerFlags() const override { return KxlDlh::headerFlags() + 100; }
  void setHeaderFlags(long flags) override { KxlDlh::setHeaderFlags(flags * 2); }
};

// The dead-letter header's flags live in the object: a read keeps them, the
// record never holds them, an assignment uses the virtual accessors.
TEST(KxlDlhTest, FlagsAreTheObjectsOwn) {
  KxlDlh source, fromShifted;
  source.setHeaderFlags(5);
  KxlMsg message;
  load(message, kinds()[0].asItStands, 0, kNative, "KXDEAD  ");
  ASSERT_TRUE(source.pasteIn(message));
  ShiftedFlags shifted;
  shifted = source;
  fromShifted = shifted;
  source.setHeaderFlags(9);
  EXPECT_EQ(std::to_string(shifted.KxlDlh::headerFlags()) + "|" +
                std::to_string(fromShifted.headerFlags()) + "|" + itemState(source),
            "10|110|" + kinds()[0].asItStands + "|rrrrrrrr/1920103026/1920103026|9");
}

// Integers holding their offsets and texts the vectors hold blank: read back.
TEST(KxlVihTest, GettersReadTheirOffsets) {
  long (KxlVih::*const integers[])() const = {
      &KxlVih::headerFlags,      &KxlVih::bridgeReturnCode,   &KxlVih::bridgeCompletionCode,
      &KxlVih::bridgeReasonCode, &KxlVih::UOWControl,         &KxlVih::getWaitInterval,
      &KxlVih::linkType,         &KxlVih::outputDataLength,   &KxlVih::facilityKeepTime,
      &KxlVih::ADSDescriptor,    &KxlVih::conversationalTask, &KxlVih::taskEndStatus,
      &KxlVih::cursorPosition,   &KxlVih::bridgeErrorOffset};
  std::vector<Field> fields = {at(84, "FN1 AB2 "), at(144, "NXT "), at(164, 164), at(168, 168)};
  for (std::int32_t offset = 28; offset <= 72; offset += 4) fields.push_back(at(offset, offset));
  KxlMsg message;
  KxlVih header;
  load(message, with(recordOf(header), fields), 0, kNative, "KXVORN  ");
  ASSERT_TRUE(header.pasteIn(message));
  std::string read = text(header.function()) + text(header.bridgeAbendCode()) +
                     text(header.nextTransactionIdentifier());
  for (const auto get : integers) read += " " + std::to_string((header.*get)());
  EXPECT_EQ(read, "FN1 AB2 NXT  28 32 36 40 44 48 52 56 60 64 68 72 164 168");
}

// A refused version leaves the version and the record of version 1 (new
// records: vih-1-defaults, vih-2-defaults); version 2 brings its record back.
TEST(KxlVihTest, SetVersionTakesOnlySupportedVersions) {
  TraceCapture trace;
  KxlVih versionOne, versionTwo;
  ASSERT_TRUE(versionOne.setVersion(1));
  for (long refused : {0L, 3L, -1L, static_cast<long>(INT32_MIN)}) {
    KxlVih header;
    ASSERT_TRUE(header.setVersion(1));
    EXPECT_FALSE(header.setVersion(refused)) << refused;
    EXPECT_EQ(codes(header) + "|" + std::to_string(header.version()) + recordOf(header),
              "2/6128|1" + recordOf(versionOne));
    EXPECT_TRUE(header.setVersion(2));
    EXPECT_EQ(recordOf(header), recordOf(versionTwo));
  }
  EXPECT_TRUE(trace.texts().empty());
}

// The version decides the length: testdata/tests/hdr_vih_versions.tsv. The
// buffer holds just the data, so that a look beyond it is caught.
TEST(KxlVihTest, IncomingVersionDecidesTheLength) {
  for (const kxltest::Row &row : kxltest::table("hdr_vih_versions")) {
    SCOPED_TRACE(row.file);
    KxlVih fresh, header;  // the data hold another link type than the header
    const std::string data =
        "zz" + with(recordOf(fresh), {at(4, static_cast<std::int32_t>(row.number(0)))});
    std::vector<char> buffer(data.begin(), data.begin() + 2 + row.number(1));
    KxlMsg message;
    ASSERT_TRUE(message.useFullBuffer(buffer.data(), buffer.size()) && message.setDataOffset(2));
    message.setFormat("KXVORN  ");
    header.setLinkType(4);
    expectRefused(header, message, row[2],
                  row[4].empty() ? Texts() : Texts{{kKxlFnCacheRead, row[4]}}, kKxlFnVornPasteIn,
                  Exits{static_cast<std::int32_t>(std::stol(row[2].substr(2)))}, row.number(3));
  }
}

// testdata/tests/hdr_rfh_hostile.tsv: "zz", a fixed part (format "KXSTR   ",
// type "TYPE"), "QXYZABhello". The fixed part is always taken; the message is
// described anew on success alone; a name without storage keeps its text.
TEST(KxlRfhTest, PasteInTrustsNoOffsetOrLength) {
  for (const kxltest::Row &row : kxltest::table("hdr_rfh_hostile")) {
    SCOPED_TRACE(row.file);
    const auto number = [&row](std::size_t i) { return static_cast<std::int32_t>(row.number(i)); };
    KxlRfh header;
    std::vector<Field> fixed = {at(8, number(0)), at(20, "KXSTR   "), at(32, "TYPE")};
    for (std::size_t i = 0; i < 8; ++i)
      fixed.push_back(at(68 + 8 * (i / 2) - 4 * (i % 2), number(1 + i)));
    const std::string all = "zz" + with(recordOf(header), fixed) + "QXYZABhello";
    std::vector<char> bytes(all.begin(), all.end());
    KxlMsg message;
    ASSERT_TRUE(message.useFullBuffer(bytes.data(), bytes.size()) && message.setDataOffset(2));
    message.setFormat("KXHREF  ");
    setNames(header, "1", "2", "3", "4");
    TraceCapture trace;
    std::optional<kxltest::AllocationFailure> failure;
    if (row.number(13) != 0) failure.emplace(static_cast<long>(row.number(13)));
    const bool read = header.pasteIn(message);
    failure.reset();
    const long reason = static_cast<long>(row.number(9));
    EXPECT_EQ(std::to_string(read) + codes(header) + "|" + text(header.sourceEnvironment()) + "|" +
                  text(header.sourceName()) + "|" + text(header.destinationEnvironment()) + "|" +
                  text(header.destinationName()) + "|" + std::to_string(message.dataOffset()) +
                  text(header.referenceType()) + text(message.format()),
              (reason == 0 ? "10/0|" : "02/" + row[9] + "|") + row[10] + "|" + row[11] + "TYPE" +
                  (reason == 0 ? "KXSTR   " : "KXHREF  "));
    EXPECT_EQ(trace.texts(kKxlFnReferencePasteIn),
              std::vector<std::string>(row[12].empty() ? 0 : 1,
                                       "KxlReferenceHeader::pasteIn (error): " + row[12]));
  }
  // An automatic buffer grows to the structure length.
  KxlMsg grown;
  KxlRfh header;
  load(grown, "zz" + with(recordOf(header), {at(8, 500)}), 2, kNative, "KXHREF  ");
  EXPECT_TRUE(header.pasteIn(grown));
  EXPECT_EQ(grown.dataOffset(), 502u);
}

// A pointer check that refuses the reading of the text "sn" alone.
int refuseSourceName(const void *pointer, std::uint64_t length, std::uint16_t mode, void *) {
  return mode == 1 && length == 2 && std::memcmp(pointer, "sn", 2) == 0 ? 1 : 0;
}

// The first piece whose write fails stops the write after what went before.
TEST(KxlRfhTest, WriteStopsAtTheFirstFailingPiece) {
  KxlMsg message;
  load(message, "hello", 5, 273, "KXSTR   ");
  KxlRfh header;
  setNames(header, "se", "sn", "de", "dn");
  TraceCapture trace;
  xcsSetPointerCheck(&refuseSourceName, nullptr);
  EXPECT_FALSE(message.writeItem(header));
  xcsSetPointerCheck(nullptr, nullptr);
  EXPECT_EQ(codes(header) + codes(message) + std::to_string(message.dataOffset()) + "|" +
                contentOf(message).substr(108) + "|" + describe(message) + "|" + describe(header),
            "2/20042/2004110|se|" + description("KXHREF  ", kNative, 0) + "|KXSTR   /273/850");
  EXPECT_EQ(trace.exitValues(kKxlFnCacheWrite), (Exits{0, 0, 2004}));
}

// Written over the whole content; a buffer too small is left alone.
TEST(KxlTrgTest, WrittenAsTheWholeContent) {
  KxlTrg trigger;
  trigger.setQueueName("QN");
  KxlMsg message;
  load(message, "old content", 4, 273, "KXSTR   ");
  ASSERT_TRUE(trigger.copyOut(message));
  EXPECT_EQ(contentOf(message) + std::to_string(message.dataOffset()) + describe(message),
            recordOf(trigger) + "684" + description("KXTRIG  ", kNative, 0));
  char small[683];
  KxlMsg tooSmall;
  ASSERT_TRUE(tooSmall.useEmptyBuffer(small, sizeof small));
  tooSmall.setFormat("KXSTR   ");
  const std::string before = messageState(tooSmall);
  EXPECT_FALSE(trigger.copyOut(tooSmall));
  EXPECT_EQ(codes(trigger) + codes(tooSmall) + messageState(tooSmall), "2/61132/6113" + before);
}

// Fields blank padded, the number as testdata/tests/hdr_trg_number.tsv says; a null target
// fails with 6108 and its text, which codes the next good copy keeps.
TEST(KxlTrgTest, CharacterForm) {
  const std::string processName(48, 'P');
  for (const kxltest::Row &row : kxltest::table("hdr_trg_number")) {
    SCOPED_TRACE(row.file);
    KxlMsg message;
    KxlTrg trigger;
    load(message, with(recordOf(trigger), {at(168, static_cast<std::int32_t>(row.number(0)))}), 0,
         kNative, "KXTRIG  ");
    ASSERT_EQ(std::to_string(trigger.pasteIn(message)) + codes(trigger), "10/0");
    trigger.setQueueName("abc  ");
    trigger.setProcessName(processName.c_str());
    trigger.setEnvironmentData("env");
    TraceCapture trace;
    EXPECT_FALSE(trigger.copyOut(static_cast<tagKXTMC2 *>(nullptr)));
    tagKXTMC2 form;
    std::memset(&form, 0x7f, sizeof form);
    ASSERT_TRUE(trigger.copyOut(&form));
    EXPECT_EQ(trace.texts(kKxlFnTriggerCopyOut),
              std::vector<std::string>{"KxlTrigger::copyOut (error): null pointer to KXTMC2"});
    EXPECT_EQ(codes(trigger) + std::string(reinterpret_cast<const char *>(&form), sizeof form),
              "2/6108" + record(732,
                                {at(0, "TMC    2abc"), at(56, processName), at(168, row[1]),
                                 at(428, "env")},
                                ' '));
  }
}

// The 32-byte prefix ("TST ") and a tail of `claimedTail` bytes if set, as a
// second piece; the codes of an earlier failure, which a good write keeps.
class TestHeader : public KxlPfx {
 public:
  explicit TestHeader(std::size_t tailLength = 0) : tail(kxltest::pattern(tailLength, 2)) {
    usePrefix(&prefix, typeid(TestHeader), "TST ", 1, 32, 0);
    setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  }
  bool copyOut(KxlMsg &message) override {
    const Piece pieces[] = {{&prefix, sizeof prefix},
                            {tail.data(), claimedTail != 0 ? claimedTail : tail.size()}};
    return writeHeader(message, pieces, 2, "KXTEST  ");
  }
  bool pasteIn(KxlMsg &message) override {
    static const Layout layout = {"KxlTestHeader", "TST ", "KXTEST  ", kKxlFnWorkPasteIn};
    return readHeader(message, layout, &prefix, sizeof prefix);
  }
  KXHDRPREFIX prefix;
  std::string tail;
  std::size_t claimedTail = 0;
};

// 0: TestHeader, then those of kinds(); a tail or destination name of `tail` bytes.
std::unique_ptr<KxlHdr> makeHeader(int kind, std::size_t tail) {
  if (kind == 0) return std::make_unique<TestHeader>(tail);
  std::unique_ptr<KxlHdr> header(dynamic_cast<KxlHdr *>(kinds()[kind - 1].make().release()));
  if (auto *rfh = dynamic_cast<KxlRfh *>(header.get()))
    rfh->setDestinationName(std::string(tail, 'n').c_str());
  return header;
}

// `content` bytes on a buffer of `buffer` bytes, format "KXSTR   ", set 850.
struct Scene {
  Scene(bool automatic, std::size_t buffer, std::size_t content, std::size_t offset)
      : application(automatic ? 0 : buffer) {
    EXPECT_TRUE(automatic ? message.resizeBuffer(buffer)
                          : message.useEmptyBuffer(application.data(), buffer));
    EXPECT_TRUE(message.write(content, kxltest::pattern(content, 1).data()) &&
                message.setDataOffset(offset));
    message.setFormat("KXSTR   ");
    message.setCharacterSet(850);
  }
  std::vector<char> application;
  KxlMsg message;
};

// Room, a copy of the content, the description passed to the header's setters,
// the message described as the header and cleared, the pieces, the content.
bool writeByTheSteps(KxlMsg &message, KxlHdr &header, const std::string &bytes,
                     const std::vector<std::size_t> &pieces, const std::string &format) {
  if (!message.moreBytes(bytes.size())) return false;
  const KxlCac kept(message);
  header.setEncoding(message.encoding());
  header.setCharacterSet(message.characterSet());
  header.setFormat(message.format());
  message.setEncoding(kKxlNativeEncoding);
  message.setCharacterSet(0);
  message.setFormat(format.c_str());
  message.clearMessage();
  for (std::size_t i = 0, at = 0; i < pieces.size(); at += pieces[i++])
    if (!message.write(pieces[i], bytes.data() + at)) return false;
  return message.write(kept.messageLength(), kept.bufferPointer());
}

// Result, message but its address, description, codes, header, trace records.
using Outcome =
    std::tuple<bool, CacheState, std::string, std::string, std::string, std::vector<std::string>>;

// Nobody, a trace sink, or a pointer check refusing the last byte of the
// header's pieces, the buffer's first byte, or the first byte after the header.
enum class Listener { kNobody, kTrace, kLastHeaderByte, kBufferStart, kAfterHeader };

// Header `kind` with `tail` written in front of the message's content, the
// n-th nothrow allocation failing when `failing` is set.
Outcome prepend(KxlMsg &message, int kind, std::size_t tail, Listener listener, bool bySteps,
                std::optional<long> failing = {}, long *allocations = nullptr) {
  using P = kxltest::PointerRefusal;
  const auto header = makeHeader(kind, tail);
  // What it writes, in its pieces: a twin's record, written alone.
  KxlMsg alone;
  load(alone, "", 0, message.encoding(), "KXSTR   ");  // described as every Scene
  EXPECT_TRUE(makeHeader(kind, tail)->copyOut(alone));
  const std::string bytes = contentOf(alone), format = text(alone.format());
  std::vector<std::size_t> pieces = {bytes.size()};
  if (kind == 0) pieces = {32, tail};
  if (dynamic_cast<KxlRfh *>(header.get()) != nullptr) pieces = {108, 0, 0, 0, tail};
  const char *refusedAt = message.bufferPointer();
  if (listener == Listener::kAfterHeader) refusedAt += bytes.size();
  if (listener == Listener::kLastHeaderByte)
    refusedAt = bySteps ? &bytes.back() : &static_cast<TestHeader &>(*header).tail.back();
  std::optional<P> refused;
  if (listener > Listener::kTrace)
    refused.emplace(refusedAt, 1, listener == Listener::kLastHeaderByte ? P::kRead : P::kWrite);
  std::optional<TraceCapture> trace;
  if (listener != Listener::kNobody) trace.emplace();
  kxltest::AllocationCounter counter;
  std::optional<kxltest::AllocationFailure> failure;
  if (failing) failure.emplace(*failing);
  const bool result =
      bySteps ? writeByTheSteps(message, *header, bytes, pieces, format) : header->copyOut(message);
  failure.reset();
  if (allocations != nullptr) *allocations = counter.count();
  refused.reset();
  const std::vector<std::string> records =
      trace ? kxltest::recordsOf(*trace) : std::vector<std::string>();
  trace.reset();
  // On failure the header takes the message's codes.
  const std::string headerCodes = bySteps && !result ? codes(message) : codes(*header);
  CacheState state = stateOf(message);
  state.buffer = nullptr;
  return {result, state, describe(message), codes(message) + " " + headerCodes, itemState(*header),
          records};
}

struct Case {
  int kind;
  bool automatic;
  std::size_t content, tail, length, buffer, offset;  // length: the header's
  Outcome write(Listener listener, bool bySteps, std::optional<long> failing = {},
                long *allocations = nullptr) const {
    Scene scene(automatic, buffer, content, offset);
    return prepend(scene.message, kind, tail, listener, bySteps, failing, allocations);
  }
  bool roomForBoth() const { return buffer - content >= length; }
  bool roomGrows() const { return length > buffer - offset; }
};

// Every header of makeHeader() and shape of testdata/tests/hdr_write_shapes.tsv.
template <class Check>
void forEveryShape(std::initializer_list<std::size_t> contents, Check check) {
  const std::vector<kxltest::Row> shapes = kxltest::table("hdr_write_shapes");
  for (int kind = 0; kind < 6; ++kind) {
    for (std::size_t content : contents) {
      for (const kxltest::Row &shape : shapes) {
        SCOPED_TRACE(::testing::Message()
                     << "header " << kind << ", " << shape.file << ", content " << content);
        const std::size_t tail = shape[3] == "1" ? content + 64 : 40;
        const std::size_t length = recordOf(*makeHeader(kind, tail)).size();
        const std::size_t room = shape[1].empty() ? 0 : length + shape.number(1);
        check(Case{kind, shape[0] == "1", content, tail, length, content + room,
                   content * shape.number(2) / 2});
      }
    }
  }
}

// With nobody listening the content moves once, and all ends as in the steps;
// no allocation where the buffer holds both, one where the room for the
// header grows, and elsewhere the steps' own.
TEST(KxlHdrTest, WriteWithNobodyListeningEndsAsTheSteps) {
  forEveryShape({0, 1000, std::size_t{1} << 20}, [](const Case &c) {
    long allocations = 0, stepAllocations = 0;
    const Outcome actual = c.write(Listener::kNobody, false, {}, &allocations);
    EXPECT_EQ(actual, c.write(Listener::kNobody, true, {}, &stepAllocations));
    if (!c.automatic && c.roomGrows()) {
      EXPECT_EQ(std::get<3>(actual), "2/6113 2/6113");
    }
    EXPECT_EQ(allocations, c.roomForBoth()                ? 0
                           : c.roomGrows() && c.automatic ? 1
                                                          : stepAllocations);
  });
}

// The first allocation failing: none where the buffer holds both; as the steps'
// growth where the header's room grows; elsewhere as the steps, whose content
// copy then holds nothing (past offset 0 bytes never set: not compared).
TEST(KxlHdrTest, FirstAllocationFailingEndsAsInTheSteps) {
  forEveryShape({16, 1000}, [](const Case &c) {
    const Outcome actual = c.write(Listener::kNobody, false, 1);
    if (c.roomForBoth() || c.roomGrows() || c.offset == 0) {
      const auto failing = c.roomForBoth() ? std::optional<long>() : 1;
      EXPECT_EQ(actual, c.write(Listener::kNobody, true, failing));
    }
    if (c.roomGrows()) {
      EXPECT_EQ(std::get<3>(actual), c.automatic ? "2/2071 2/2071" : "2/6113 2/6113");
    }
  });
}

// While someone listens the write is its steps: the same records (growth, writes, exits, the
// pointer checks' stage records), codes and message; where the header fits and the content does
// not, its write's exit says so.
TEST(KxlHdrTest, WhileSomeoneListensTheRecordsAreTheSteps) {
  forEveryShape({0, 1000}, [](const Case &c) {
    for (Listener listener : {Listener::kTrace, Listener::kLastHeaderByte, Listener::kBufferStart,
                              Listener::kAfterHeader}) {
      if (listener == Listener::kLastHeaderByte && c.kind != 0) continue;
      SCOPED_TRACE(static_cast<int>(listener));
      const Outcome actual = c.write(listener, false);
      EXPECT_EQ(actual, c.write(listener, true));
      if (!c.automatic && !c.roomForBoth() && !c.roomGrows() && listener == Listener::kTrace) {
        EXPECT_EQ(std::get<5>(actual).back(),
                  kxltest::exitLine(kKxlFnCacheWrite, KXRC_INSUFFICIENT_BUFFER));
      }
    }
  });
}

TEST(KxlHdrTest, RefusedFirstWriteLeavesTheApplicationBufferAsItWas) {
  Scene scene(false, 1000, 100, 50);
  const std::string before(scene.application.begin(), scene.application.end());
  const Outcome outcome = prepend(scene.message, 1, 0, Listener::kBufferStart, false);
  EXPECT_EQ(std::to_string(std::get<0>(outcome)) + std::get<3>(outcome), "02/2004 2/2004");
  EXPECT_EQ(std::string(scene.application.begin(), scene.application.end()), before);
  EXPECT_EQ(scene.message.messageLength(), 0u);
}

// Room for the header at the offset, for it and the content, or its length not
// representable: nothing changes (failing growth: FirstAllocationFailing...).
TEST(KxlHdrTest, RoomRefusedChangesNothing) {
  const std::pair<std::size_t, std::size_t> cases[] = {{10, SIZE_MAX - 40}, {0, SIZE_MAX - 10}};
  for (const auto &[offset, claimedTail] : cases) {
    SCOPED_TRACE(offset);
    Scene s(true, 16, 16, offset);
    TestHeader header(40);
    header.claimedTail = claimedTail;  // bytes never looked at
    const CacheState before = stateOf(s.message);
    const std::string description = describe(s.message) + describe(header);
    TraceCapture trace;
    kxltest::AllocationCounter counter;
    EXPECT_FALSE(s.message.writeItem(header));
    EXPECT_EQ(
        textsOf(trace),
        (Texts{{kKxlFnCacheMoreBytes, "KxlCache::moreBytes (error): storage not available"}}));
    EXPECT_EQ(stateOf(s.message), before);
    EXPECT_EQ(counter.count(), 0);
    EXPECT_EQ(codes(s.message) + codes(header) + describe(s.message) + describe(header),
              "2/20712/2071" + description);
  }
}

// Setters noting what they get and storing something else, getters of their own.
template <class H>
class Overriding : public H {
 public:
  long characterSet() const override { return 1208; }
  long encoding() const override { return 785; }
  KxlStr format() const override { return KxlStr("OVERRIDE"); }
  void setCharacterSet(long value) override { H::setCharacterSet(note("characterSet", value)); }
  void setEncoding(long value) override { H::setEncoding(note("encoding", value)); }
  void setFormat(const char *name) override {
    told += "format " + std::string(name) + ";";
    H::setFormat("SEEN");
  }
  long note(const char *what, long value) {
    told += what + (" " + std::to_string(value)) + ";";
    return value + 1;
  }
  std::string told;
};

template <class H>
class KxlHdrAccessorsTest : public ::testing::Test {};
using Headers = ::testing::Types<KxlDlh, KxlVih, KxlOih, KxlWih, KxlRfh, TestHeader>;
struct HeaderName {
  template <class H>
  static std::string GetName(int index) {
    static const char *const kNames[] = {"Dlh", "Vih", "Oih", "Wih", "Rfh", "TestHeader"};
    return kNames[index];
  }
};
TYPED_TEST_SUITE(KxlHdrAccessorsTest, Headers, HeaderName);

// A write tells the setters the message's description, a read the getters'.
TYPED_TEST(KxlHdrAccessorsTest, WriteAndReadGoThroughTheVirtualAccessors) {
  using H = TypeParam;
  for (bool listening : {false, true}) {
    SCOPED_TRACE(listening);
    KxlMsg message;
    load(message, "hello", 5, 273, "KXSTR   ");
    Overriding<H> written, read;
    std::optional<TraceCapture> trace;
    if (listening) trace.emplace();
    ASSERT_TRUE(written.copyOut(message));
    EXPECT_EQ(written.told + text(written.H::format()) + "/" +
                  std::to_string(written.H::encoding()) + "/" +
                  std::to_string(written.H::characterSet()),
              "encoding 273;characterSet 850;format KXSTR   ;SEEN    /274/851");
    ASSERT_TRUE(message.setDataOffset(0));
    ASSERT_TRUE(read.pasteIn(message));
    EXPECT_EQ(describe(message) + read.told, "OVERRIDE/785/1208");
  }
}

TEST(KxlItmTest, StructureIdIsComparesFourBytesAtTheOffset) {
  KxlMsg message;
  load(message, "xxABCDyyy", 2, kKxlNativeEncoding, "");
  TraceCapture trace;
  EXPECT_TRUE(KxlItm::structureIdIs("ABCD", message));
  EXPECT_TRUE(KxlItm::structureIdIs("ABCDzz", message));
  for (const char *id : {static_cast<const char *>(nullptr), "ABCX", "xABC"})
    EXPECT_FALSE(KxlItm::structureIdIs(id, message));
  ASSERT_TRUE(message.setDataOffset(6));  // 3 bytes of data
  EXPECT_FALSE(KxlItm::structureIdIs("yyy", message));
  EXPECT_EQ(textsOf(trace),
            Texts(4, {kKxlFnItemStructureIdIs,
                      "KxlItem::structureIdIs (information): structure id is not equal"}));
  EXPECT_EQ(codes(message) + std::to_string(message.dataOffset()), "0/06");
}

}  // namespace
}  // namespace kxlhdrtest
