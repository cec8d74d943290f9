// The wire records kxli reads and writes, each a plain struct of
// fixed-width members laid out byte for byte as it travels: integers are
// 32-bit little-endian (the native encoding 546), character fields have a
// fixed width and no terminator. Sizes and the offset of every field the
// library touches are checked at compile time.
#ifndef KXLI_KXLREC_HPP_
#define KXLI_KXLREC_HPP_

#include <cstddef>
#include <cstdint>

// Message descriptor, 364 bytes.
struct KXMD {
  char structureId[4];
  std::int32_t version;
  std::int32_t field8;
  std::int32_t field12;
  std::int32_t field16;
  std::int32_t feedback;
  std::int32_t encoding;
  std::int32_t characterSet;
  char format[8];
  std::int32_t field40;
  std::int32_t field44;
  unsigned char messageId[24];
  unsigned char correlationId[24];
  std::int32_t field96;
  char replyToQueueName[48];
  char replyToQueueManagerName[48];
  char userId[12];
  unsigned char accountingToken[32];
  char applicationIdData[32];
  std::int32_t field272;
  char putApplicationName[28];
  char putDate[8];
  char putTime[8];
  char applicationOriginData[4];
  unsigned char groupId[24];
  std::int32_t field348;
  std::int32_t field352;
  std::int32_t field356;
  std::int32_t field360;
};
static_assert(sizeof(KXMD) == 364, "KXMD is 364 bytes");
static_assert(offsetof(KXMD, version) == 4 && offsetof(KXMD, feedback) == 20 &&
                  offsetof(KXMD, encoding) == 24 && offsetof(KXMD, characterSet) == 28 &&
                  offsetof(KXMD, format) == 32 && offsetof(KXMD, messageId) == 48 &&
                  offsetof(KXMD, correlationId) == 72 && offsetof(KXMD, replyToQueueName) == 100 &&
                  offsetof(KXMD, replyToQueueManagerName) == 148 && offsetof(KXMD, userId) == 196 &&
                  offsetof(KXMD, accountingToken) == 208 &&
                  offsetof(KXMD, applicationIdData) == 240 && offsetof(KXMD, field272) == 272 &&
                  offsetof(KXMD, putApplicationName) == 276 && offsetof(KXMD, putDate) == 304 &&
                  offsetof(KXMD, putTime) == 312 && offsetof(KXMD, applicationOriginData) == 320 &&
                  offsetof(KXMD, groupId) == 324 && offsetof(KXMD, field348) == 348 &&
                  offsetof(KXMD, field360) == 360,
              "KXMD layout");

// Dead-letter header, 172 bytes.
struct KXDLH {
  char structureId[4];
  std::int32_t version;
  std::int32_t field8;
  char destinationQueueName[48];
  char destinationQueueManagerName[48];
  std::int32_t encoding;
  std::int32_t characterSet;
  char format[8];
  std::int32_t field124;
  char putApplicationName[28];
  char putDate[8];
  char putTime[8];
};
static_assert(sizeof(KXDLH) == 172, "KXDLH is 172 bytes");
static_assert(offsetof(KXDLH, destinationQueueName) == 12 &&
                  offsetof(KXDLH, destinationQueueManagerName) == 60 &&
                  offsetof(KXDLH, encoding) == 108 && offsetof(KXDLH, characterSet) == 112 &&
                  offsetof(KXDLH, format) == 116 && offsetof(KXDLH, field124) == 124 &&
                  offsetof(KXDLH, putApplicationName) == 128 && offsetof(KXDLH, putDate) == 156 &&
                  offsetof(KXDLH, putTime) == 164,
              "KXDLH layout");

// The 32 bytes that the OXT bridge header and the work information header
// begin with.
struct KXHDRPREFIX {
  char structureId[4];
  std::int32_t version;
  std::int32_t structureLength;
  std::int32_t encoding;
  std::int32_t characterSet;
  char format[8];
  std::int32_t headerFlags;
};
static_assert(sizeof(KXHDRPREFIX) == 32, "the shared header prefix is 32 bytes");
static_assert(offsetof(KXHDRPREFIX, structureLength) == 8 &&
                  offsetof(KXHDRPREFIX, encoding) == 12 &&
                  offsetof(KXHDRPREFIX, characterSet) == 16 &&
                  offsetof(KXHDRPREFIX, format) == 20 && offsetof(KXHDRPREFIX, headerFlags) == 28,
              "shared header prefix layout");

// VORN bridge header, 180 bytes (version 1 is the first 164).
struct KXVIH {
  KXHDRPREFIX prefix;
  std::int32_t bridgeReturnCode;
  std::int32_t bridgeCompletionCode;
  std::int32_t bridgeReasonCode;
  std::int32_t UOWControl;
  std::int32_t getWaitInterval;
  std::int32_t linkType;
  std::int32_t outputDataLength;
  std::int32_t facilityKeepTime;
  std::int32_t ADSDescriptor;
  std::int32_t conversationalTask;
  std::int32_t taskEndStatus;
  unsigned char facilityToken[8];
  char function[4];
  char bridgeAbendCode[4];
  char authenticator[8];
  char field100[8];
  char replyToFormat[8];
  char field116[4];
  char field120[4];
  char transactionIdentifier[4];
  char facilityLike[4];
  char attentionIdentifier[4];
  char startCode[4];
  char bridgeCancelCode[4];
  char nextTransactionIdentifier[4];
  char field148[8];
  char field156[8];
  std::int32_t cursorPosition;
  std::int32_t bridgeErrorOffset;
  std::int32_t field172;
  std::int32_t field176;
};
static_assert(sizeof(KXVIH) == 180, "KXVIH is 180 bytes");
static_assert(offsetof(KXVIH, bridgeReturnCode) == 32 && offsetof(KXVIH, UOWControl) == 44 &&
                  offsetof(KXVIH, conversationalTask) == 68 &&
                  offsetof(KXVIH, taskEndStatus) == 72 && offsetof(KXVIH, facilityToken) == 76 &&
                  offsetof(KXVIH, function) == 84 && offsetof(KXVIH, authenticator) == 92 &&
                  offsetof(KXVIH, replyToFormat) == 108 &&
                  offsetof(KXVIH, transactionIdentifier) == 124 &&
                  offsetof(KXVIH, nextTransactionIdentifier) == 144 &&
                  offsetof(KXVIH, field156) == 156 && offsetof(KXVIH, cursorPosition) == 164 &&
                  offsetof(KXVIH, bridgeErrorOffset) == 168 && offsetof(KXVIH, field176) == 176,
              "KXVIH layout");

// OXT bridge header, 84 bytes.
struct KXOIH {
  KXHDRPREFIX prefix;
  char logicalTerminalOverride[8];
  char messageFormatServicesMapName[8];
  char replyToFormat[8];
  char authenticator[8];
  unsigned char transactionInstanceId[16];
  char trailing[4];
};
static_assert(sizeof(KXOIH) == 84, "KXOIH is 84 bytes");
static_assert(offsetof(KXOIH, logicalTerminalOverride) == 32 &&
                  offsetof(KXOIH, messageFormatServicesMapName) == 40 &&
                  offsetof(KXOIH, replyToFormat) == 48 && offsetof(KXOIH, authenticator) == 56 &&
                  offsetof(KXOIH, transactionInstanceId) == 64 && offsetof(KXOIH, trailing) == 80,
              "KXOIH layout");

// Work information header, 120 bytes.
struct KXWIH {
  KXHDRPREFIX prefix;
  char serviceName[32];
  char serviceStep[8];
  unsigned char messageToken[16];
  unsigned char reserved[32];
};
static_assert(sizeof(KXWIH) == 120, "KXWIH is 120 bytes");
static_assert(offsetof(KXWIH, serviceName) == 32 && offsetof(KXWIH, serviceStep) == 64 &&
                  offsetof(KXWIH, messageToken) == 72 && offsetof(KXWIH, reserved) == 88,
              "KXWIH layout");

// Reference header, fixed part of 108 bytes; the variable parts follow.
struct KXRMH {
  KXHDRPREFIX prefix;
  char referenceType[8];
  unsigned char instanceId[24];
  std::int32_t sourceEnvironmentLength;
  std::int32_t sourceEnvironmentOffset;
  std::int32_t sourceNameLength;
  std::int32_t sourceNameOffset;
  std::int32_t destinationEnvironmentLength;
  std::int32_t destinationEnvironmentOffset;
  std::int32_t destinationNameLength;
  std::int32_t destinationNameOffset;
  std::int32_t field96;
  std::int32_t field100;
  std::int32_t field104;
};
static_assert(sizeof(KXRMH) == 108, "KXRMH fixed part is 108 bytes");
static_assert(offsetof(KXRMH, referenceType) == 32 && offsetof(KXRMH, instanceId) == 40 &&
                  offsetof(KXRMH, sourceEnvironmentLength) == 64 &&
                  offsetof(KXRMH, sourceNameOffset) == 76 &&
                  offsetof(KXRMH, destinationEnvironmentLength) == 80 &&
                  offsetof(KXRMH, destinationNameOffset) == 92 && offsetof(KXRMH, field96) == 96 &&
                  offsetof(KXRMH, field104) == 104,
              "KXRMH layout");

// Trigger message, 684 bytes.
struct KXTM {
  char structureId[4];
  std::int32_t version;
  char queueName[48];
  char processName[48];
  char triggerData[64];
  std::int32_t field168;
  char applicationId[256];
  char environmentData[128];
  char userData[128];
};
static_assert(sizeof(KXTM) == 684, "KXTM is 684 bytes");
static_assert(offsetof(KXTM, queueName) == 8 && offsetof(KXTM, processName) == 56 &&
                  offsetof(KXTM, triggerData) == 104 && offsetof(KXTM, field168) == 168 &&
                  offsetof(KXTM, applicationId) == 172 && offsetof(KXTM, environmentData) == 428 &&
                  offsetof(KXTM, userData) == 556,
              "KXTM layout");

// Trigger message in character form, 732 bytes.
struct tagKXTMC2 {
  char structureId[4];
  char version[4];
  char queueName[48];
  char processName[48];
  char triggerData[64];
  char field168[4];
  char applicationId[256];
  char environmentData[128];
  char userData[128];
  char trailing[48];
};
static_assert(sizeof(tagKXTMC2) == 732, "tagKXTMC2 is 732 bytes");
static_assert(offsetof(tagKXTMC2, field168) == 168 && offsetof(tagKXTMC2, applicationId) == 172 &&
                  offsetof(tagKXTMC2, trailing) == 684,
              "tagKXTMC2 layout");

// Get-message options, 100 bytes; the older layout is the first 80.
struct KXGMO {
  char structureId[4];
  std::int32_t version;
  std::int32_t options;
  std::int32_t field12;
  std::int32_t field16;
  std::int32_t field20;
  char resolvedQueueName[48];
  std::int32_t field72;
  char field76[4];
  unsigned char messageToken[16];
  std::int32_t field96;
};
static_assert(sizeof(KXGMO) == 100, "KXGMO is 100 bytes");
static_assert(offsetof(KXGMO, options) == 8 && offsetof(KXGMO, resolvedQueueName) == 24 &&
                  offsetof(KXGMO, field72) == 72 && offsetof(KXGMO, field76) == 76 &&
                  offsetof(KXGMO, messageToken) == 80 && offsetof(KXGMO, field96) == 96,
              "KXGMO layout");
// Bytes of the older get-message options layout.
inline constexpr std::size_t kKxGmoLength2 = 80;

// Client channel definition, 1888 bytes. The lists and the SSL peer name
// the pointer fields refer to are owned by the KxlChl holding the record.
struct tagKXCD {
  char channelName[20];
  std::int32_t field20;
  std::int32_t field24;
  std::int32_t transportType;
  unsigned char gap32[160];
  char shortConnectionName[20];
  unsigned char gap212[20];
  char modeName[8];
  char transactionProgramName[64];
  std::int32_t field304;
  std::int32_t field308;
  std::int32_t field312;
  std::int32_t field316;
  std::int32_t field320;
  std::int32_t field324;
  char securityExitName[128];
  unsigned char gap456[384];
  std::int32_t field840;
  std::int32_t maximumMessageLength;
  std::int32_t field848;
  unsigned char gap852[4];
  char securityUserData[32];
  unsigned char gap888[96];
  char userId[12];
  char password[12];
  unsigned char gap1008[12];
  std::int32_t field1020;
  char connectionName[264];
  unsigned char gap1288[184];
  std::int32_t field1472;
  std::int32_t field1476;
  std::int32_t heartBeatInterval;
  unsigned char gap1484[4];
  std::int32_t field1488;
  std::int32_t recordLength;
  std::int32_t exitNameLength;
  std::int32_t userDataLength;
  unsigned char gap1504[4];
  std::int32_t sendExitCount;
  std::int32_t receiveExitCount;
  unsigned char gap1516[20];
  char *sendExitNames;
  char *sendUserData;
  char *receiveExitNames;
  char *receiveUserData;
  unsigned char gap1568[120];
  char sslCipherSpecification[32];
  char *sslPeerName;
  std::int32_t sslPeerNameLength;
  std::int32_t sslClientAuthentication;
  std::int32_t keepAliveInterval;
  char localAddress[48];
  std::int32_t batchHeartBeat;
  std::int32_t headerCompression[2];
  std::int32_t messageCompression[16];
  unsigned char gap1864[8];
  std::int32_t field1872;
  unsigned char gap1876[12];
};
static_assert(sizeof(void *) == 8, "kxli records hold 64-bit pointers");
static_assert(sizeof(tagKXCD) == 1888, "tagKXCD is 1888 bytes");
static_assert(
    offsetof(tagKXCD, transportType) == 28 && offsetof(tagKXCD, shortConnectionName) == 192 &&
        offsetof(tagKXCD, modeName) == 232 && offsetof(tagKXCD, transactionProgramName) == 240 &&
        offsetof(tagKXCD, field304) == 304 && offsetof(tagKXCD, field324) == 324 &&
        offsetof(tagKXCD, securityExitName) == 328 && offsetof(tagKXCD, field840) == 840 &&
        offsetof(tagKXCD, maximumMessageLength) == 844 && offsetof(tagKXCD, field848) == 848 &&
        offsetof(tagKXCD, securityUserData) == 856 && offsetof(tagKXCD, userId) == 984 &&
        offsetof(tagKXCD, password) == 996 && offsetof(tagKXCD, field1020) == 1020 &&
        offsetof(tagKXCD, connectionName) == 1024 && offsetof(tagKXCD, field1472) == 1472 &&
        offsetof(tagKXCD, heartBeatInterval) == 1480 && offsetof(tagKXCD, field1488) == 1488 &&
        offsetof(tagKXCD, recordLength) == 1492 && offsetof(tagKXCD, exitNameLength) == 1496 &&
        offsetof(tagKXCD, userDataLength) == 1500 && offsetof(tagKXCD, sendExitCount) == 1508 &&
        offsetof(tagKXCD, receiveExitCount) == 1512 && offsetof(tagKXCD, sendExitNames) == 1536 &&
        offsetof(tagKXCD, sendUserData) == 1544 && offsetof(tagKXCD, receiveExitNames) == 1552 &&
        offsetof(tagKXCD, receiveUserData) == 1560 &&
        offsetof(tagKXCD, sslCipherSpecification) == 1688 &&
        offsetof(tagKXCD, sslPeerName) == 1720 && offsetof(tagKXCD, sslPeerNameLength) == 1728 &&
        offsetof(tagKXCD, sslClientAuthentication) == 1732 &&
        offsetof(tagKXCD, keepAliveInterval) == 1736 && offsetof(tagKXCD, localAddress) == 1740 &&
        offsetof(tagKXCD, batchHeartBeat) == 1788 && offsetof(tagKXCD, headerCompression) == 1792 &&
        offsetof(tagKXCD, messageCompression) == 1800 && offsetof(tagKXCD, field1872) == 1872,
    "tagKXCD layout");

#endif  // KXLI_KXLREC_HPP_
