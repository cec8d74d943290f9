// The numbers an application sees from kxli: the completion and reason
// codes its objects report, the native encoding of every record, and the
// component, stage and function numbers of the trace records it makes.
//
// Every kxli object keeps the outcome of its last failing or warning
// operation as a completion code (KXCC_*) and a reason code (KXRC_*), read
// with completionCode() and reasonCode(). A failed operation returns false
// and sets KXCC_FAILED; a warning sets KXCC_WARNING and lets the operation
// succeed. Codes stay until the next failure or warning, clearErrorCodes(),
// or assignment.
#ifndef KXLI_KXLCODES_HPP_
#define KXLI_KXLCODES_HPP_

// Completion codes.
inline constexpr long KXCC_OK = 0;
inline constexpr long KXCC_WARNING = 1;
inline constexpr long KXCC_FAILED = 2;

// Reason codes.
inline constexpr long KXRC_NONE = 0;
inline constexpr long KXRC_BUFFER_ERROR = 2004;
inline constexpr long KXRC_EMPTY_LIST_ENTRY = 2010;
inline constexpr long KXRC_STORAGE_NOT_AVAILABLE = 2071;
inline constexpr long KXRC_SOURCE_BUFFER_ERROR = 2145;
inline constexpr long KXRC_TARGET_BUFFER_ERROR = 2146;
inline constexpr long KXRC_LOCK_FAILED = 2195;
inline constexpr long KXRC_TOO_MANY_ENTRIES = 2316;
inline constexpr long KXRC_WRONG_ENCODING = 6106;
inline constexpr long KXRC_WRONG_STRUCTURE_ID = 6107;
inline constexpr long KXRC_NULL_POINTER = 6108;
inline constexpr long KXRC_NO_BUFFER = 6110;
inline constexpr long KXRC_BINARY_DATA_LENGTH_ERROR = 6111;
inline constexpr long KXRC_USER_BUFFER_NOT_RESIZABLE = 6112;
inline constexpr long KXRC_INSUFFICIENT_BUFFER = 6113;
inline constexpr long KXRC_INSUFFICIENT_DATA = 6114;
inline constexpr long KXRC_DATA_TRUNCATED = 6115;
inline constexpr long KXRC_WRONG_FORMAT = 6119;
inline constexpr long KXRC_STRUCTURE_LENGTH_ERROR = 6123;
inline constexpr long KXRC_UNSUPPORTED_VERSION = 6128;

// The encoding every record is written in and the only one a header or
// trigger is read in: integers in little-endian order.
inline constexpr long kKxlNativeEncoding = 546;

// Every trace record kxli makes names this component.
inline constexpr unsigned short kKxlComponent = 31;

// The stages kxli passes to xcsCPInitTerm_e: before each call of the trace
// and pointer-check facade, and at the start of each traced operation.
inline constexpr int kKxlStageFacade = 1;
inline constexpr int kKxlStageTraced = 4;

// The function numbers of trace records and diagnostic texts, by operation.
// Those marked traced make an entry record and an exit record with the
// object's reason code; the others only send their texts.
inline constexpr unsigned short kKxlFnBinaryCopyOut = 0;  // traced
inline constexpr unsigned short kKxlFnBinaryPasteIn = 1;  // traced
inline constexpr unsigned short kKxlFnCacheAssign = 2;    // KxlCac::operator=
inline constexpr unsigned short kKxlFnCacheMoreBytes = 3;
inline constexpr unsigned short kKxlFnCacheRead = 4;           // traced
inline constexpr unsigned short kKxlFnCacheResizeBuffer = 5;   // traced
inline constexpr unsigned short kKxlFnCacheUseBuffer = 8;      // traced; useEmpty/FullBuffer
inline constexpr unsigned short kKxlFnCacheWrite = 9;          // traced
inline constexpr unsigned short kKxlFnDeadLetterPasteIn = 10;  // traced
inline constexpr unsigned short kKxlFnItemStructureIdIs = 12;
inline constexpr unsigned short kKxlFnTrackerSetAccountingToken = 18;
inline constexpr unsigned short kKxlFnTrackerSetCorrelationId = 19;
inline constexpr unsigned short kKxlFnTrackerSetGroupId = 20;
inline constexpr unsigned short kKxlFnTrackerSetMessageId = 21;
inline constexpr unsigned short kKxlFnReferencePasteIn = 41;
inline constexpr unsigned short kKxlFnReferenceSetInstanceId = 42;
inline constexpr unsigned short kKxlFnStringCopy = 43;       // the static copies
inline constexpr unsigned short kKxlFnStringDelimiter = 44;  // copyOut/cutOut of a token
inline constexpr unsigned short kKxlFnStringPasteIn = 45;
inline constexpr unsigned short kKxlFnStringSetStorage = 47;
inline constexpr unsigned short kKxlFnStringStripLeading = 48;
inline constexpr unsigned short kKxlFnStringStripTrailing = 49;
inline constexpr unsigned short kKxlFnTriggerCopyOut = 51;  // to the character form
inline constexpr unsigned short kKxlFnTriggerPasteIn = 52;
inline constexpr unsigned short kKxlFnStringLock = 57;            // traced; exit 1 or 0
inline constexpr unsigned short kKxlFnStringUnlock = 58;          // traced; exit 1 or 0
inline constexpr unsigned short kKxlFnBinarySetDataLength = 59;   // traced
inline constexpr unsigned short kKxlFnVornPasteIn = 60;           // traced
inline constexpr unsigned short kKxlFnVornSetFacilityToken = 61;  // traced
inline constexpr unsigned short kKxlFnErrorCheckReadPointer = 62;
inline constexpr unsigned short kKxlFnErrorCheckWritePointer = 63;
inline constexpr unsigned short kKxlFnOptionsSetMessageToken = 64;       // traced
inline constexpr unsigned short kKxlFnOxtPasteIn = 65;                   // traced
inline constexpr unsigned short kKxlFnOxtSetTransactionInstanceId = 66;  // traced
inline constexpr unsigned short kKxlFnStringConstruct = 73;
inline constexpr unsigned short kKxlFnStringConcatenate = 74;
inline constexpr unsigned short kKxlFnStringSet = 75;
inline constexpr unsigned short kKxlFnStringCleanUp = 76;
inline constexpr unsigned short kKxlFnWorkPasteIn = 77;
inline constexpr unsigned short kKxlFnWorkSetMessageToken = 78;

#endif  // KXLI_KXLCODES_HPP_
