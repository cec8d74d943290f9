// What the golden vectors (testdata/vectors: every field of the five headers
// and the trigger message written, laid out and read back) cannot see of
// these items: a refused read leaves item and message as they were, with its
// codes, text and traced exit; a read takes every byte of a record as it
// stands; the setters' padding, cuts and exact widths; copies own their
// storage; the VORN bridge header's versions, the reference header's offsets
// and lengths (a read trusts none of them), the dead-letter header's flags
// (the object's own) and the trigger's character form.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kxlhdrtest.hpp"
#include "kxli.hpp"
#include "kxltable.hpp"

namespace kxlhdrtest {
namespace {

using kxltest::TraceCapture;
using Exits = std::vector<std::int32_t>;
constexpr long kNative = kKxlNativeEncoding;

// A copy and an assignment of `source` hold its state and codes after it is
// destroyed; assigning an object to itself changes nothing.
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

struct Kind {
  const char *className, *formatName;
  unsigned function;          // of pasteIn
  bool traced;                // pasteIn traces its entry and exit
  const char *shortDataText;  // the text of too few bytes; null: KxlCache::read's 6114
  std::size_t readFirst;      // bytes a read of too few bytes has taken when it fails
  std::unique_ptr<KxlItm> (*make)();
  void (*copies)(KxlItm *);
  std::string asItStands;  // a record a read takes byte for byte: 'r' where it does not look
};

const std::vector<Kind> &kinds() {
  static const std::vector<Kind> all = {
      {"KxlDeadLetterHeader", "KXDEAD  ", kKxlFnDeadLetterPasteIn, true, nullptr, 0, make<KxlDlh>,
       expectCopies<KxlDlh>, record(172, {at(0, "DLH ")}, 'r')},
      {"KxlVORNBridgeHeader", "KXVORN  ", kKxlFnVornPasteIn, true, nullptr, 4, make<KxlVih>,
       expectCopies<KxlVih>, record(180, {at(0, "VIH "), at(4, 2), at(8, 180)}, 'r')},
      {"KxlOXTBridgeHeader", "KXOXT   ", kKxlFnOxtPasteIn, true, nullptr, 0, make<KxlOih>,
       expectCopies<KxlOih>, record(84, {at(0, "OIH ")}, 'r')},
      {"KxlWorkHeader", "KXHWIH  ", kKxlFnWorkPasteIn, false, nullptr, 0, make<KxlWih>,
       expectCopies<KxlWih>, record(120, {at(0, "WIH ")}, 'r')},
      {"KxlReferenceHeader", "KXHREF  ", kKxlFnReferencePasteIn, false,
       "KxlReferenceHeader::pasteIn (error): insufficient data", 0, make<KxlRfh>,
       expectCopies<KxlRfh>,
       record(108,
              {at(0, "RMH "), at(8, 108), at(64, std::string(32, '\0')), at(68, 108), at(76, 108),
               at(84, 108), at(92, 108)},
              'r')},
      {"KxlTrigger", "KXTRIG  ", kKxlFnTriggerPasteIn, false, nullptr, 0, make<KxlTrg>,
       expectCopies<KxlTrg>, record(684, {at(0, "TM  ")}, 'r')},
  };
  return all;
}

// Structure id (before encoding and format, all 4 bytes, at least 4 bytes),
// encoding (before format), format (all 8 characters), too few bytes: each
// refused with its codes and text, the item and the message left as they were.
TEST(KxlHeadersTest, RefusedReadsChangeNothing) {
  for (const Kind &kind : kinds()) {
    std::string good = recordOf(*kind.make());
    good[good.size() / 2] = 'M';  // shows a record taken by mistake
    std::string otherId = good, otherFormat = kind.formatName;
    otherId[3] = otherFormat[7] = 'X';
    const struct {
      std::string data, format;
      long encoding, reason;
      const char *text;  // null: too few bytes
    } cases[] = {
        {otherId, "KXSTR   ", 273, KXRC_WRONG_STRUCTURE_ID, "wrong structure id"},
        {good.substr(0, 3), kind.formatName, kNative, KXRC_WRONG_STRUCTURE_ID,
         "wrong structure id"},
        {good, "KXSTR   ", 273, KXRC_WRONG_ENCODING, "wrong message encoding"},
        {good, "KXSTR   ", kNative, KXRC_WRONG_FORMAT, "wrong message format"},
        {good, otherFormat, kNative, KXRC_WRONG_FORMAT, "wrong message format"},
        {good.substr(0, good.size() - 1), kind.formatName, kNative, KXRC_INSUFFICIENT_DATA,
         nullptr},
    };
    for (const auto &c : cases) {
      SCOPED_TRACE(std::string(kind.className) + " " + std::to_string(c.reason) + " " + c.format);
      KxlMsg message;
      load(message, "zz" + c.data, 2, c.encoding, c.format.c_str());
      const std::string messageBefore = messageState(message);
      const auto item = kind.make();
      const std::string itemBefore = itemState(*item);
      TraceCapture trace;
      EXPECT_FALSE(item->pasteIn(message));
      // Too few bytes are the message's 6114 from its read, unless the item says so itself.
      const bool ownText = c.text != nullptr || kind.shortDataText != nullptr;
      EXPECT_EQ(codes(*item) + "|" + codes(message),
                "2/" + std::to_string(c.reason) + (ownText ? "|0/0" : "|2/6114"));
      const std::string text =
          c.text == nullptr
              ? (ownText ? kind.shortDataText : "KxlCache::read (error): insufficient data")
              : std::string(kind.className) + "::pasteIn (error): " + c.text;
      EXPECT_EQ(trace.texts(ownText ? kind.function : kKxlFnCacheRead),
                std::vector<std::string>{text});
      EXPECT_EQ(trace.entries(kind.function), kind.traced ? 1 : 0);
      EXPECT_EQ(trace.exitValues(kind.function),
                Exits(kind.traced ? 1 : 0, static_cast<std::int32_t>(c.reason)));
      EXPECT_EQ(itemState(*item), itemBefore);
      if (c.text == nullptr) {  // what was read first stays read
        EXPECT_TRUE(message.setDataOffset(message.dataOffset() - kind.readFirst));
      }
      EXPECT_EQ(messageState(message), messageBefore);
    }
  }
}

// A read takes `asItStands` byte for byte from between other bytes, and
// copies of the item own its record, names and codes.
TEST(KxlHeadersTest, ReadTakesTheRecordAsItStandsAndCopiesOwnIt) {
  for (const Kind &kind : kinds()) {
    SCOPED_TRACE(kind.className);
    KxlItm *source = kind.make().release();
    KxlMsg message;
    load(message, "zz" + kind.asItStands + "tail", 2, kNative, kind.formatName);
    ASSERT_TRUE(source->pasteIn(message));
    EXPECT_EQ(message.dataOffset(), 2 + kind.asItStands.size());
    EXPECT_TRUE(sameBytes(recordOf(*source), kind.asItStands));
    if (auto *rfh = dynamic_cast<KxlRfh *>(source)) {
      rfh->setSourceName("sn");
      rfh->setDestinationEnvironment("de");
    }
    if (auto *dlh = dynamic_cast<KxlDlh *>(source)) dlh->setHeaderFlags(5);
    EXPECT_FALSE(source->pasteIn(message));  // its codes travel with the copies
    kind.copies(source);
  }
}

// A text setter pads to the width and reads back as `afterAB` after
// set("AB  "); cuts a longer text to the width with the warning 1/6115 in
// the string class's record, never in the item; and reads back as
// `afterNull` after set(nullptr). The setters share one helper, so one of
// each pad and getter is here; the vectors lay out and read every field.
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

TEST(KxlHeadersTest, TextSettersPadCutAndFill) {
  const std::string blanks8(8, ' '), ab8 = "AB      ";
  expectTextField(&KxlDlh::setPutApplicationName, &KxlDlh::putApplicationName, 28);
  expectTextField(&KxlOih::setLogicalTerminalOverride, &KxlOih::logicalTerminalOverride, 8);
  expectTextField(&KxlOih::setReplyToFormat, &KxlOih::replyToFormat, 8, ab8, blanks8);
  expectTextField(&KxlOih::setAuthenticator, &KxlOih::authenticator, 8, "AB  ");
  expectTextField(&KxlWih::setServiceName, &KxlWih::serviceName, 32, "AB" + std::string(30, ' '),
                  std::string(32, ' '));
  expectTextField(&KxlVih::setTransactionIdentifier, &KxlVih::transactionIdentifier, 4, "AB  ",
                  "    ");
  expectTextField(&KxlRfh::setReferenceType, &KxlRfh::referenceType, 8);
  expectTextField(&KxlTrg::setApplicationId, &KxlTrg::applicationId, 256);
  KxlRfh header;  // the names take any length, null as empty
  header.setSourceEnvironment(nullptr);
  header.setDestinationName("");
  EXPECT_EQ(text(header.sourceEnvironment()) + "|" + text(header.destinationName()), "|");
}

// The binary setters: kxlhdrtest's expectBinaryField.
TEST(KxlHeadersTest, BinarySettersTakeExactlyTheirWidth) {
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

// The format blank padded and cut to 8 characters, the integers kept to
// their low 32 bits, no codes set.
TEST(KxlHeadersTest, DescriptionAccessorsKeepTheirWidths) {
  for (const Kind &kind : kinds()) {
    const auto item = kind.make();
    auto *header = dynamic_cast<KxlHdr *>(item.get());
    if (header == nullptr) continue;
    SCOPED_TRACE(kind.className);
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

// Reads its flags 100 higher than it holds them and stores twice what it is
// given, to show which getter and setter an assignment uses.
class ShiftedFlags : public KxlDlh {
 public:
  using KxlDlh::operator=;
  long headerFlags() const override { return KxlDlh::headerFlags() + 100; }
  void setHeaderFlags(long flags) override { KxlDlh::setHeaderFlags(flags * 2); }
};

// The dead-letter header's flags live in the object: a read keeps them,
// they never reach the record, and an assignment passes them through the
// virtual accessors.
TEST(KxlDlhTest, FlagsAreTheObjectsOwn) {
  KxlDlh source;
  source.setHeaderFlags(5);
  KxlMsg message;
  load(message, kinds()[0].asItStands, 0, kNative, "KXDEAD  ");
  ASSERT_TRUE(source.pasteIn(message));
  ShiftedFlags shifted;
  shifted = source;
  KxlDlh fromShifted;
  fromShifted = shifted;
  source.setHeaderFlags(9);
  EXPECT_EQ(std::to_string(shifted.KxlDlh::headerFlags()) + "|" +
                std::to_string(fromShifted.headerFlags()) + "|" + itemState(source),
            "10|110|" + kinds()[0].asItStands + "|rrrrrrrr/1920103026/1920103026|9");
}

// A new VORN bridge header's record (version 2), described as a new message is.
std::string newVih() {
  return record(
      180, {at(0, "VIH "), at(4, 2), at(8, 180), at(12, kNative), at(20, "        "), at(44, 273),
            at(48, -2), at(52, 1), at(56, -1), at(84, std::string(80, ' '))});
}

// Every integer field, those only the bridge fills and the cursor position
// beyond version 1 included, holding its offset; the texts only the bridge
// fills.
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
  load(message, with(newVih(), fields), 0, kNative, "KXVORN  ");
  KxlVih header;
  ASSERT_TRUE(header.pasteIn(message));
  std::string read = text(header.function()) + text(header.bridgeAbendCode()) +
                     text(header.nextTransactionIdentifier());
  for (const auto get : integers) read += " " + std::to_string((header.*get)());
  EXPECT_EQ(read, "FN1 AB2 NXT  28 32 36 40 44 48 52 56 60 64 68 72 164 168");
}

// A refused version leaves the version, and the record of version 1; the
// record of version 2 comes back with its version.
TEST(KxlVihTest, SetVersionTakesOnlySupportedVersions) {
  TraceCapture trace;
  for (long refused : {0L, 3L, -1L, static_cast<long>(INT32_MIN)}) {
    KxlVih header;
    ASSERT_TRUE(header.setVersion(1));
    EXPECT_FALSE(header.setVersion(refused)) << refused;
    EXPECT_EQ(codes(header) + "|" + std::to_string(header.version()), "2/6128|1");
    EXPECT_TRUE(sameBytes(recordOf(header), with(newVih(), {at(4, 1), at(8, 164)}).substr(0, 164)));
    EXPECT_TRUE(header.setVersion(2));
    EXPECT_TRUE(sameBytes(recordOf(header), newVih()));
  }
  EXPECT_TRUE(trace.texts().empty());
}

// The version that follows the structure id decides the record's length:
// testdata/tests/hdr_vih_versions.tsv. The buffer holds just the data, so
// that a look beyond it is caught.
TEST(KxlVihTest, IncomingVersionDecidesTheLength) {
  for (const kxltest::Row &row : kxltest::table("hdr_vih_versions")) {
    SCOPED_TRACE(row.file);
    const std::string data =
        "zz" + with(newVih(), {at(4, static_cast<std::int32_t>(row.number(0)))});
    std::vector<char> buffer(data.begin(), data.begin() + 2 + row.number(1));
    KxlMsg message;
    ASSERT_TRUE(message.useFullBuffer(buffer.data(), buffer.size()) && message.setDataOffset(2));
    message.setFormat("KXVORN  ");
    const std::string messageBefore = messageState(message);
    KxlVih header;
    header.setLinkType(4);
    const std::string headerBefore = itemState(header);
    TraceCapture trace;
    EXPECT_FALSE(header.pasteIn(message));
    EXPECT_EQ(codes(header) + " " + codes(message), row[2]);
    EXPECT_EQ(trace.texts(), std::vector<std::string>(row[4].empty() ? 0 : 1, row[4]));
    EXPECT_EQ(trace.exitValues(kKxlFnVornPasteIn),
              Exits{static_cast<std::int32_t>(header.reasonCode())});
    EXPECT_TRUE(message.setDataOffset(message.dataOffset() - row.number(3)));
    EXPECT_EQ(messageState(message) + itemState(header), messageBefore + headerBefore);
  }
}

// A new reference header's fixed part as written, described as a new message is.
std::string newRfh() {
  return record(108, {at(0, "RMH "), at(4, 1), at(8, 108), at(12, kNative), at(20, "        "),
                      at(28, 1), at(68, 108), at(76, 108), at(84, 108), at(92, 108)});
}

std::string names(const KxlRfh &header) {
  return text(header.sourceEnvironment()) + "|" + text(header.sourceName()) + "|" +
         text(header.destinationEnvironment()) + "|" + text(header.destinationName());
}

void setNames(KxlRfh &header, const char *sourceEnvironment, const char *sourceName,
              const char *destinationEnvironment, const char *destinationName) {
  header.setSourceEnvironment(sourceEnvironment);
  header.setSourceName(sourceName);
  header.setDestinationEnvironment(destinationEnvironment);
  header.setDestinationName(destinationName);
}

// A message holding just a header written by hand, at data offset 2: a fixed
// part with the structure length given, each part's offset and length as
// `parts` give them in turn, the format "KXSTR   " and the reference type
// "TYPE", then "QXYZABhello". A read outside these bytes is caught.
struct HandWritten {
  HandWritten(std::int32_t structureLength, const std::vector<std::int32_t> &parts) {
    std::string fixed =
        with(newRfh(), {at(8, structureLength), at(20, "KXSTR   "), at(32, "TYPE")});
    for (std::size_t part = 0; part < 4; ++part) {
      fixed =
          with(fixed, {at(68 + 8 * part, parts[2 * part]), at(64 + 8 * part, parts[2 * part + 1])});
    }
    const std::string all = "zz" + fixed + "QXYZABhello";
    bytes.assign(all.begin(), all.end());
    EXPECT_TRUE(message.useFullBuffer(bytes.data(), bytes.size()) && message.setDataOffset(2));
    message.setFormat("KXHREF  ");
  }
  std::vector<char> bytes;
  KxlMsg message;
};

// Hostile offsets and lengths: testdata/tests/hdr_rfh_hostile.tsv. The fixed
// part is always taken; the message is described anew on success alone.
TEST(KxlRfhTest, PasteInTrustsNoOffsetOrLength) {
  for (const kxltest::Row &row : kxltest::table("hdr_rfh_hostile")) {
    SCOPED_TRACE(row.file);
    std::vector<std::int32_t> parts;
    for (std::size_t i = 1; i <= 8; ++i) parts.push_back(static_cast<std::int32_t>(row.number(i)));
    HandWritten written(static_cast<std::int32_t>(row.number(0)), parts);
    KxlRfh header;
    setNames(header, "1", "2", "3", "4");
    TraceCapture trace;
    const bool read = header.pasteIn(written.message);
    const long reason = static_cast<long>(row.number(9));
    EXPECT_EQ(std::to_string(read) + codes(header) + "|" + names(header) + "|" +
                  std::to_string(written.message.dataOffset()) + text(header.referenceType()) +
                  text(written.message.format()),
              (reason == 0 ? "10/0|" : "02/" + row[9] + "|") + row[10] + "|" + row[11] + "TYPE" +
                  (reason == 0 ? "KXSTR   " : "KXHREF  "));
    EXPECT_EQ(trace.texts(kKxlFnReferencePasteIn),
              std::vector<std::string>(row[12].empty() ? 0 : 1,
                                       "KxlReferenceHeader::pasteIn (error): " + row[12]));
  }
  // An automatic buffer grows to the structure length.
  KxlMsg grown;
  load(grown, "zz" + with(newRfh(), {at(8, 500)}), 2, kNative, "KXHREF  ");
  KxlRfh header;
  EXPECT_TRUE(header.pasteIn(grown));
  EXPECT_EQ(grown.dataOffset(), 502u);
}

// A name that cannot get storage keeps its old text and takes the codes
// itself; the read goes on and succeeds.
TEST(KxlRfhTest, NameStorageShortageIsTheNames) {
  HandWritten written(114, {108, 2, 112, 1, 0, 0, 0, 0});
  KxlRfh header;
  setNames(header, "old", "2", "3", "4");
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_TRUE(header.pasteIn(written.message));
  }
  EXPECT_EQ(codes(header) + names(header) + std::to_string(written.message.dataOffset()) +
                text(written.message.format()),
            "0/0old|A|3|4116KXSTR   ");
}

// A pointer check that refuses the reading of the text "sn" alone.
int refuseSourceName(const void *pointer, std::uint64_t length, std::uint16_t mode, void *) {
  return mode == 1 && length == 2 && std::memcmp(pointer, "sn", 2) == 0 ? 1 : 0;
}

// The fixed part and the names are written one by one; the first write
// that fails stops the write, and the message holds what went before it.
TEST(KxlRfhTest, WriteStopsAtTheFirstFailingPiece) {
  KxlMsg message;
  load(message, "hello", 5, 273, "KXSTR   ");
  KxlRfh header;
  setNames(header, "se", "sn", "de", "dn");
  TraceCapture trace;
  xcsSetPointerCheck(&refuseSourceName, nullptr);
  EXPECT_FALSE(message.writeItem(header));
  xcsSetPointerCheck(nullptr, nullptr);
  EXPECT_EQ(codes(header) + codes(message), "2/20042/2004");
  EXPECT_EQ(contentOf(message).substr(108) + "|" + describe(message) + "|" + describe(header),
            "se|" + description("KXHREF  ", kNative, 0) + "|KXSTR   /273/850");
  EXPECT_EQ(message.dataOffset(), 110u);
  EXPECT_EQ(trace.exitValues(kKxlFnCacheWrite), (Exits{0, 0, 2004}));
}

// A binary trigger record with `number` at offset 168.
std::string binaryTrigger(std::int32_t number) {
  return record(684, {at(0, "TM  "), at(4, 1), at(168, number)});
}

// Written over a message's whole content, whatever its data offset and
// description were; an application buffer too small for it is left alone.
TEST(KxlTrgTest, WrittenAsTheWholeContent) {
  KxlTrg trigger;
  trigger.setQueueName("QN");
  KxlMsg message;
  load(message, "old content", 4, 273, "KXSTR   ");
  ASSERT_TRUE(trigger.copyOut(message));
  EXPECT_TRUE(sameBytes(contentOf(message), with(binaryTrigger(0), {at(8, "QN")})));
  EXPECT_EQ(std::to_string(message.dataOffset()) + describe(message),
            "684" + description("KXTRIG  ", kNative, 0));
  char small[683];
  KxlMsg tooSmall;
  ASSERT_TRUE(tooSmall.useEmptyBuffer(small, sizeof small));
  tooSmall.setFormat("KXSTR   ");
  const std::string before = messageState(tooSmall);
  EXPECT_FALSE(trigger.copyOut(tooSmall));
  EXPECT_EQ(codes(trigger) + codes(tooSmall) + messageState(tooSmall), "2/61132/6113" + before);
}

// The character form: every field blank padded, the number at offset 168 as
// testdata/tests/hdr_trg_number.tsv gives it; a null target fails with 6108
// and its text; a copy keeps earlier codes.
TEST(KxlTrgTest, CharacterForm) {
  const std::string processName(48, 'P');
  for (const kxltest::Row &row : kxltest::table("hdr_trg_number")) {
    SCOPED_TRACE(row.file);
    KxlMsg message;
    load(message, binaryTrigger(static_cast<std::int32_t>(row.number(0))), 0, kNative, "KXTRIG  ");
    KxlTrg trigger;
    ASSERT_TRUE(trigger.pasteIn(message));
    trigger.setQueueName("abc  ");
    trigger.setProcessName(processName.c_str());
    trigger.setEnvironmentData("env");
    tagKXTMC2 form;
    std::memset(&form, 0x7f, sizeof form);
    ASSERT_TRUE(trigger.copyOut(&form));
    const std::string characters(reinterpret_cast<const char *>(&form), sizeof form);
    EXPECT_TRUE(sameBytes(
        characters,
        record(732, {at(0, "TMC    2abc"), at(56, processName), at(168, row[1]), at(428, "env")},
               ' ')));
    EXPECT_EQ(codes(trigger), "0/0");
  }
  KxlTrg trigger;
  TraceCapture trace;
  EXPECT_FALSE(trigger.copyOut(static_cast<tagKXTMC2 *>(nullptr)));
  EXPECT_EQ(trace.texts(kKxlFnTriggerCopyOut),
            std::vector<std::string>{"KxlTrigger::copyOut (error): null pointer to KXTMC2"});
  tagKXTMC2 form;
  EXPECT_TRUE(trigger.copyOut(&form));
  EXPECT_EQ(codes(trigger), "2/6108");
}

}  // namespace
}  // namespace kxlhdrtest
