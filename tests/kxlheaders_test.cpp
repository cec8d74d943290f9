// What the golden vectors (testdata/vectors: every field of the five
// headers and the trigger message written, laid out and read back) cannot
// see of these items:
// - a refused read (structure id, encoding, format, too few bytes) leaves
//   item and message as they were, with its codes, its text under its
//   function number and its traced exit; a read takes every byte of a
//   record as it stands, fields only the bridge fills included;
// - the text setters pad, cut with the warning 6115 in the string class's
//   record (never the item's) and fill for null; the binary setters take
//   exactly their width or fail with 6111 and their text; the description
//   accessors keep 8 characters and 32 bits; copies own their storage;
// - the VORN bridge header's versions, the reference header's offsets and
//   lengths (a read trusts none of them), the dead-letter header's flags
//   (the object's own), the trigger's character form.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kxlhdrtest.hpp"
#include "kxli.hpp"

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

// A record whose every byte a read takes: `fill` wherever the read does not
// look, described as a new message is (a write records that description).
std::string filled(std::size_t length, const char *id, std::vector<Field> fields,
                   std::size_t describedAt) {
  fields.insert(fields.end(), {at(0, id), at(describedAt, kNative), at(describedAt + 4, 0),
                               at(describedAt + 8, "        ")});
  return record(length, fields, 'r');
}

struct Kind {
  const char *className, *formatName;
  unsigned function;          // of pasteIn
  bool traced;                // pasteIn traces its entry and exit
  const char *shortDataText;  // the text of too few bytes; null: KxlCache::read's 6114
  std::size_t readFirst;      // bytes a read of too few bytes has taken when it fails
  std::unique_ptr<KxlItm> (*make)();
  void (*copies)(KxlItm *);
  std::string asItStands;  // a record a read takes byte for byte
};

const std::vector<Kind> &kinds() {
  static const std::vector<Kind> all = {
      {"KxlDeadLetterHeader", "KXDEAD  ", kKxlFnDeadLetterPasteIn, true, nullptr, 0, make<KxlDlh>,
       expectCopies<KxlDlh>, filled(172, "DLH ", {}, 108)},
      {"KxlVORNBridgeHeader", "KXVORN  ", kKxlFnVornPasteIn, true, nullptr, 4, make<KxlVih>,
       expectCopies<KxlVih>, filled(180, "VIH ", {at(4, 2), at(8, 180)}, 12)},
      {"KxlOXTBridgeHeader", "KXOXT   ", kKxlFnOxtPasteIn, true, nullptr, 0, make<KxlOih>,
       expectCopies<KxlOih>, filled(84, "OIH ", {}, 12)},
      {"KxlWorkHeader", "KXHWIH  ", kKxlFnWorkPasteIn, false, nullptr, 0, make<KxlWih>,
       expectCopies<KxlWih>, filled(120, "WIH ", {}, 12)},
      {"KxlReferenceHeader", "KXHREF  ", kKxlFnReferencePasteIn, false,
       "KxlReferenceHeader::pasteIn (error): insufficient data", 0, make<KxlRfh>,
       expectCopies<KxlRfh>,
       filled(108, "RMH ",
              {at(8, 108), at(64, std::string(32, '\0')), at(68, 108), at(76, 108), at(84, 108),
               at(92, 108)},
              12)},
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
      if (c.text == nullptr && kind.readFirst != 0) {
        // What was read first stays read.
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

// The dead-letter header's flags live in the object: a read keeps them and
// an assignment passes them through the virtual accessors.
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
  EXPECT_EQ(std::to_string(source.headerFlags()) + "|" +
                std::to_string(shifted.KxlDlh::headerFlags()) + "|" +
                std::to_string(fromShifted.headerFlags()),
            "5|10|110");
  source.setHeaderFlags(9);  // never in the record
  EXPECT_TRUE(sameBytes(recordOf(source), kinds()[0].asItStands));
}

// A new VORN bridge header's record (version 2), described as a new message is.
std::string newVih() {
  return record(
      180, {at(0, "VIH "), at(4, 2), at(8, 180), at(12, kNative), at(20, "        "), at(44, 273),
            at(48, -2), at(52, 1), at(56, -1), at(84, std::string(80, ' '))});
}
std::string versionOneVih() { return with(newVih(), {at(4, 1), at(8, 164)}).substr(0, 164); }

// Every integer field, the cursor position beyond version 1 and those only
// the bridge fills included, and the texts only the bridge fills, are read
// from their offsets.
TEST(KxlVihTest, GettersReadTheirOffsets) {
  const struct {
    long (KxlVih::*get)() const;
    std::int32_t offset;
  } integers[] = {{&KxlVih::headerFlags, 28},
                  {&KxlVih::bridgeReturnCode, 32},
                  {&KxlVih::bridgeCompletionCode, 36},
                  {&KxlVih::bridgeReasonCode, 40},
                  {&KxlVih::UOWControl, 44},
                  {&KxlVih::getWaitInterval, 48},
                  {&KxlVih::linkType, 52},
                  {&KxlVih::outputDataLength, 56},
                  {&KxlVih::facilityKeepTime, 60},
                  {&KxlVih::ADSDescriptor, 64},
                  {&KxlVih::conversationalTask, 68},
                  {&KxlVih::taskEndStatus, 72},
                  {&KxlVih::cursorPosition, 164},
                  {&KxlVih::bridgeErrorOffset, 168}};
  std::vector<Field> fields = {at(84, "FN1 AB2 "), at(144, "NXT ")};
  for (const auto &f : integers) fields.push_back(at(f.offset, f.offset));
  KxlMsg message;
  load(message, with(newVih(), fields), 0, kNative, "KXVORN  ");
  KxlVih header;
  ASSERT_TRUE(header.pasteIn(message));
  for (const auto &f : integers) EXPECT_EQ((header.*f.get)(), f.offset);
  EXPECT_EQ(text(header.function()) + text(header.bridgeAbendCode()) +
                text(header.nextTransactionIdentifier()),
            "FN1 AB2 NXT ");
}

TEST(KxlVihTest, SetVersionTakesOnlySupportedVersions) {
  TraceCapture trace;
  for (long refused : {0L, 3L, -1L, static_cast<long>(INT32_MIN)}) {
    KxlVih header;
    ASSERT_TRUE(header.setVersion(1));
    EXPECT_FALSE(header.setVersion(refused)) << refused;
    EXPECT_EQ(codes(header) + "|" + std::to_string(header.version()), "2/6128|1");
    EXPECT_TRUE(sameBytes(recordOf(header), versionOneVih()));
    EXPECT_TRUE(header.setVersion(2));
    EXPECT_TRUE(sameBytes(recordOf(header), newVih()));
  }
  EXPECT_TRUE(trace.texts().empty());
}

// An unsupported version is refused with the data offset where it stood;
// data too short for the version read, or for the record of that version,
// leave the structure id read.
TEST(KxlVihTest, IncomingVersionDecidesTheLength) {
  for (std::int32_t version : {0, 3, -1, 164}) {
    KxlMsg message;
    load(message, "zz" + with(newVih(), {at(4, version)}), 2, kNative, "KXVORN  ");
    const std::string messageBefore = messageState(message);
    KxlVih header;
    header.setLinkType(4);
    const std::string headerBefore = itemState(header);
    TraceCapture trace;
    EXPECT_FALSE(header.pasteIn(message)) << version;
    EXPECT_EQ(codes(header) + codes(message), "2/61280/0");
    EXPECT_EQ(messageState(message) + itemState(header), messageBefore + headerBefore);
    EXPECT_TRUE(trace.texts().empty());
    EXPECT_EQ(trace.exitValues(kKxlFnVornPasteIn), Exits{KXRC_UNSUPPORTED_VERSION});
  }

  // The buffer holds just the data, so that a look beyond it is caught.
  const std::string versionOne = versionOneVih();
  for (std::size_t length : {4, 7, 163}) {
    const std::vector<char> data(versionOne.begin(), versionOne.begin() + length);
    KxlMsg message;
    ASSERT_TRUE(message.useFullBuffer(data.data(), data.size()));
    message.setFormat("KXVORN  ");
    KxlVih header, untouched;
    EXPECT_FALSE(header.pasteIn(message)) << length;
    EXPECT_EQ(codes(header) + codes(message), "2/61142/6114");
    EXPECT_EQ(message.dataOffset(), 4u);
    EXPECT_EQ(itemState(header), itemState(untouched));
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

struct Hostile {
  std::int32_t structureLength;
  std::int32_t parts[4][2];  // offset and length of each part
  long reason;
  const char *names;  // after the read; before it "1|2|3|4"
  std::size_t dataOffset;
};

// A message holding just a header written by hand, at data offset 2: a
// fixed part with the format "KXSTR   " and the reference type "TYPE",
// then "QXYZABhello". A read outside these bytes is caught.
struct HandWritten {
  explicit HandWritten(const Hostile &c) {
    std::string fixed =
        with(newRfh(), {at(8, c.structureLength), at(20, "KXSTR   "), at(32, "TYPE")});
    for (std::size_t part = 0; part < 4; ++part) {
      fixed =
          with(fixed, {at(68 + 8 * part, c.parts[part][0]), at(64 + 8 * part, c.parts[part][1])});
    }
    const std::string all = "zz" + fixed + "QXYZABhello";
    bytes.assign(all.begin(), all.end());
    EXPECT_TRUE(message.useFullBuffer(bytes.data(), bytes.size()) && message.setDataOffset(2));
    message.setFormat("KXHREF  ");
  }
  std::vector<char> bytes;
  KxlMsg message;
};

TEST(KxlRfhTest, PasteInTrustsNoOffsetOrLength) {
  constexpr std::int32_t kMin = INT32_MIN, kMax = INT32_MAX;
  const Hostile cases[] = {
      // Another order than copyOut's, overlapping, inside the fixed part, at
      // the last byte of the data; lengths of 0 or less leave their names.
      {114, {{112, 2}, {0, 0}, {109, 3}, {108, 1}}, 0, "AB|2|XYZ|Q", 116},
      {112, {{108, 3}, {109, 3}, {0, 4}, {kMin, -5}}, 0, "QXY|XYZ|RMH |4", 114},
      {119, {{118, 1}, {0, 0}, {0, 0}, {0, 0}}, 0, "o|2|3|4", 121},
      // Outside the data by a negative offset, an overflow or one byte; the
      // parts that fit are taken all the same.
      {200, {{-1, 2}, {108, 1}, {0, 0}, {0, 0}}, 6114, "1|Q|3|4", 2},
      {200, {{kMin, 4}, {0, 0}, {110, 2}, {0, 0}}, 6114, "1|2|YZ|4", 2},
      {200, {{108, kMax}, {0, 0}, {0, 0}, {113, 1}}, 6114, "1|2|3|B", 2},
      {200, {{kMax, kMax}, {kMax, 1}, {0, 0}, {0, 0}}, 6114, "1|2|3|4", 2},
      {200, {{118, 2}, {119, 1}, {0, 0}, {0, 0}}, 6114, "1|2|3|4", 2},
      // Within the data but beyond the structure length.
      {108, {{0, 0}, {0, 0}, {0, 0}, {108, 6}}, 6123, "1|2|3|QXYZAB", 2},
      {113, {{108, 6}, {0, 0}, {0, 0}, {0, 0}}, 6123, "QXYZAB|2|3|4", 2},
      {50, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, 6123, "1|2|3|4", 2},
      {kMin, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, 6123, "1|2|3|4", 2},
      // Beyond the data: an application buffer cannot grow to it (the
      // message's codes).
      {500, {{108, 2}, {0, 0}, {0, 0}, {0, 0}}, 6112, "QX|2|3|4", 2},
  };
  for (const Hostile &c : cases) {
    SCOPED_TRACE(c.names);
    HandWritten written(c);
    KxlRfh header;
    setNames(header, "1", "2", "3", "4");
    TraceCapture trace;
    const bool read = header.pasteIn(written.message);
    // The fixed part is always taken; the message is described anew on success alone.
    EXPECT_EQ(std::to_string(read) + codes(header) + "|" + names(header) + "|" +
                  std::to_string(written.message.dataOffset()) + text(header.referenceType()) +
                  text(written.message.format()),
              (c.reason == 0 ? "10/0|" : "02/" + std::to_string(c.reason) + "|") + c.names + "|" +
                  std::to_string(c.dataOffset) + "TYPE" +
                  (c.reason == 0 ? "KXSTR   " : "KXHREF  "));
    const bool own = c.reason == 6114 || c.reason == 6123;
    const std::string error = c.reason == 6114 ? "insufficient data" : "structure length error";
    EXPECT_EQ(
        trace.texts(kKxlFnReferencePasteIn),
        std::vector<std::string>(own ? 1 : 0, "KxlReferenceHeader::pasteIn (error): " + error));
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
  HandWritten written({114, {{108, 2}, {112, 1}, {0, 0}, {0, 0}}, 0, "", 0});
  KxlRfh header;
  setNames(header, "old", "2", "3", "4");
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_TRUE(header.pasteIn(written.message));
  }
  EXPECT_EQ(codes(header) + names(header), "0/0old|A|3|4");
  EXPECT_EQ(written.message.dataOffset(), 116u);
  EXPECT_EQ(text(written.message.format()), "KXSTR   ");
}

// A pointer check that refuses the reading of the text "sn" alone.
int refuseSourceName(const void *pointer, std::uint64_t length, std::uint16_t mode, void *) {
  return mode == 1 && length == 2 && std::memcmp(pointer, "sn", 2) == 0 ? 1 : 0;
}

// The fixed part and the names are written one by one; the first write
// that fails stops the write, and the message holds what went before it.
TEST(KxlRfhTest, WriteStopsAtTheFirstFailingPiece) {
  KxlMsg message;
  makeHello(message);
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

// The character form: every field blank padded, the number at offset 168
// right-aligned in 4 characters (cut to its first 4); a null target fails
// with 6108 and its text; a copy keeps earlier codes.
TEST(KxlTrgTest, CharacterForm) {
  const std::string processName(48, 'P');
  const struct {
    std::int32_t number;
    const char *characters;
  } cases[] = {{7, "   7"}, {-1, "  -1"}, {0, "   0"}, {12345, "1234"}, {INT32_MIN, "-214"}};
  for (const auto &c : cases) {
    KxlMsg message;
    load(message, binaryTrigger(c.number), 0, kNative, "KXTRIG  ");
    KxlTrg trigger;
    ASSERT_TRUE(trigger.pasteIn(message));
    trigger.setQueueName("abc  ");
    trigger.setProcessName(processName.c_str());
    trigger.setEnvironmentData("env");
    tagKXTMC2 form;
    std::memset(&form, 0x7f, sizeof form);
    ASSERT_TRUE(trigger.copyOut(&form));
    const std::string characters(reinterpret_cast<const char *>(&form), sizeof form);
    EXPECT_TRUE(sameBytes(characters, record(732,
                                             {at(0, "TMC    2abc"), at(56, processName),
                                              at(168, c.characters), at(428, "env")},
                                             ' ')))
        << c.number;
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
