// The numbers kxli puts on the wire and in its trace records. Applications,
// trace readers and earlier releases know them by value, so each one is
// pinned here, once; every other test names them.

#include "kxlcodes.hpp"

#include <gtest/gtest.h>

#include <set>

namespace {

struct Number {
  const char *name;
  long named, value;
};
#define KXLTEST_NUMBER(name, value) \
  Number { #name, name, value }

TEST(KxlCodesTest, EveryNumberKeepsItsValueAndNoTwoOperationsShareAFunctionNumber) {
  const Number codes[] = {
      KXLTEST_NUMBER(KXCC_OK, 0),
      KXLTEST_NUMBER(KXCC_WARNING, 1),
      KXLTEST_NUMBER(KXCC_FAILED, 2),
      KXLTEST_NUMBER(KXRC_NONE, 0),
      KXLTEST_NUMBER(KXRC_BUFFER_ERROR, 2004),
      KXLTEST_NUMBER(KXRC_EMPTY_LIST_ENTRY, 2010),
      KXLTEST_NUMBER(KXRC_STORAGE_NOT_AVAILABLE, 2071),
      KXLTEST_NUMBER(KXRC_SOURCE_BUFFER_ERROR, 2145),
      KXLTEST_NUMBER(KXRC_TARGET_BUFFER_ERROR, 2146),
      KXLTEST_NUMBER(KXRC_LOCK_FAILED, 2195),
      KXLTEST_NUMBER(KXRC_TOO_MANY_ENTRIES, 2316),
      KXLTEST_NUMBER(KXRC_WRONG_ENCODING, 6106),
      KXLTEST_NUMBER(KXRC_WRONG_STRUCTURE_ID, 6107),
      KXLTEST_NUMBER(KXRC_NULL_POINTER, 6108),
      KXLTEST_NUMBER(KXRC_NO_BUFFER, 6110),
      KXLTEST_NUMBER(KXRC_BINARY_DATA_LENGTH_ERROR, 6111),
      KXLTEST_NUMBER(KXRC_USER_BUFFER_NOT_RESIZABLE, 6112),
      KXLTEST_NUMBER(KXRC_INSUFFICIENT_BUFFER, 6113),
      KXLTEST_NUMBER(KXRC_INSUFFICIENT_DATA, 6114),
      KXLTEST_NUMBER(KXRC_DATA_TRUNCATED, 6115),
      KXLTEST_NUMBER(KXRC_WRONG_FORMAT, 6119),
      KXLTEST_NUMBER(KXRC_STRUCTURE_LENGTH_ERROR, 6123),
      KXLTEST_NUMBER(KXRC_UNSUPPORTED_VERSION, 6128),
      KXLTEST_NUMBER(kKxlNativeEncoding, 546),
      KXLTEST_NUMBER(kKxlComponent, 31),
      KXLTEST_NUMBER(kKxlStageFacade, 1),
      KXLTEST_NUMBER(kKxlStageTraced, 4),
  };
  for (const auto &code : codes) EXPECT_EQ(code.named, code.value) << code.name;

  const Number functions[] = {
      KXLTEST_NUMBER(kKxlFnBinaryCopyOut, 0),
      KXLTEST_NUMBER(kKxlFnBinaryPasteIn, 1),
      KXLTEST_NUMBER(kKxlFnCacheAssign, 2),
      KXLTEST_NUMBER(kKxlFnCacheMoreBytes, 3),
      KXLTEST_NUMBER(kKxlFnCacheRead, 4),
      KXLTEST_NUMBER(kKxlFnCacheResizeBuffer, 5),
      KXLTEST_NUMBER(kKxlFnCacheUseBuffer, 8),
      KXLTEST_NUMBER(kKxlFnCacheWrite, 9),
      KXLTEST_NUMBER(kKxlFnDeadLetterPasteIn, 10),
      KXLTEST_NUMBER(kKxlFnItemStructureIdIs, 12),
      KXLTEST_NUMBER(kKxlFnTrackerSetAccountingToken, 18),
      KXLTEST_NUMBER(kKxlFnTrackerSetCorrelationId, 19),
      KXLTEST_NUMBER(kKxlFnTrackerSetGroupId, 20),
      KXLTEST_NUMBER(kKxlFnTrackerSetMessageId, 21),
      KXLTEST_NUMBER(kKxlFnReferencePasteIn, 41),
      KXLTEST_NUMBER(kKxlFnReferenceSetInstanceId, 42),
      KXLTEST_NUMBER(kKxlFnStringCopy, 43),
      KXLTEST_NUMBER(kKxlFnStringDelimiter, 44),
      KXLTEST_NUMBER(kKxlFnStringPasteIn, 45),
      KXLTEST_NUMBER(kKxlFnStringSetStorage, 47),
      KXLTEST_NUMBER(kKxlFnStringStripLeading, 48),
      KXLTEST_NUMBER(kKxlFnStringStripTrailing, 49),
      KXLTEST_NUMBER(kKxlFnTriggerCopyOut, 51),
      KXLTEST_NUMBER(kKxlFnTriggerPasteIn, 52),
      KXLTEST_NUMBER(kKxlFnStringLock, 57),
      KXLTEST_NUMBER(kKxlFnStringUnlock, 58),
      KXLTEST_NUMBER(kKxlFnBinarySetDataLength, 59),
      KXLTEST_NUMBER(kKxlFnVornPasteIn, 60),
      KXLTEST_NUMBER(kKxlFnVornSetFacilityToken, 61),
      KXLTEST_NUMBER(kKxlFnErrorCheckReadPointer, 62),
      KXLTEST_NUMBER(kKxlFnErrorCheckWritePointer, 63),
      KXLTEST_NUMBER(kKxlFnOptionsSetMessageToken, 64),
      KXLTEST_NUMBER(kKxlFnOxtPasteIn, 65),
      KXLTEST_NUMBER(kKxlFnOxtSetTransactionInstanceId, 66),
      KXLTEST_NUMBER(kKxlFnStringConstruct, 73),
      KXLTEST_NUMBER(kKxlFnStringConcatenate, 74),
      KXLTEST_NUMBER(kKxlFnStringSet, 75),
      KXLTEST_NUMBER(kKxlFnStringCleanUp, 76),
      KXLTEST_NUMBER(kKxlFnWorkPasteIn, 77),
      KXLTEST_NUMBER(kKxlFnWorkSetMessageToken, 78),
  };
  // A trace reader tells operations apart by their function numbers alone.
  std::set<long> seen;
  for (const auto &function : functions) {
    EXPECT_EQ(function.named, function.value) << function.name;
    EXPECT_TRUE(seen.insert(function.named).second) << function.name << " is not unique";
  }
}

#undef KXLTEST_NUMBER

}  // namespace
