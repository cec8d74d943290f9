// The completion and reason codes that kxli objects report.
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

#endif  // KXLI_KXLCODES_HPP_
