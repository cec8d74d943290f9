// The wire records kxli reads and writes, each a plain struct of
// fixed-width members laid out byte for byte as it travels: integers are
// 32-bit little-endian (the native encoding, kKxlNativeEncoding), character fields have a
// fixed width and no terminator. Sizes and the offset of every field the
// library touches are checked at compile time.
#ifndef KXLI_KXLREC_HPP_
#define KXLI_KXLREC_HPP_

#include <cstddef>
#include <cstdint>

// Message descriptor, 364 bytes.
struct KXMD {
  char structureId[4];                // offset 0
  std::int32_t version;               // offset 4
  std::int32_t field8;                // offset 8
  std::int32_t field12;               // offset 12
  std::int32_t field16;               // offset 16
  std::int32_t feedback;              // offset 20
  std::int32_t encoding;              // offset 24
  std::int32_t characterSet;          // offset 28
  char format[8];                     // offset 32
  std::int32_t field40;               // offset 40
  std::int32_t field44;               // offset 44
  unsigned char messageId[24];        // offset 48
  unsigned char correlationId[24];    // offset 72
  std::int32_t field96;               // offset 96
  char replyToQueueName[48];          // offset 100
  char replyToQueueManagerName[48];   // offset 148
  char userId[12];                    // offset 196
  unsigned char accountingToken[32];  // offset 208
  char applicationIdData[32];         // offset 240
  std::int32_t field272;              // offset 272
  char putApplicationName[28];        // offset 276
  char putDate[8];                    // offset 304
  char putTime[8];                    // offset 312
  char applicationOriginData[4];      // offset 320
  unsigned char groupId[24];          // offset 324
  std::int32_t field348;              // offset 348
  std::int32_t field352;              // offset 352
  std::int32_t field356;              // offset 356
  std::int32_t field360;              // offset 360
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
  char structureId[4];                   // offset 0
  std::int32_t version;                  // offset 4
  std::int32_t field8;                   // offset 8
  char destinationQueueName[48];         // offset 12
  char destinationQueueManagerName[48];  // offset 60
  std::int32_t encoding;                 // offset 108
  std::int32_t characterSet;             // offset 112
  char format[8];                        // offset 116
  std::int32_t field124;                 // offset 124
  char putApplicationName[28];           // offset 128
  char putDate[8];                       // offset 156
  char putTime[8];                       // offset 164
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
  char structureId[4];           // offset 0
  std::int32_t version;          // offset 4
  std::int32_t structureLength;  // offset 8
  std::int32_t encoding;         // offset 12
  std::int32_t characterSet;     // offset 16
  char format[8];                // offset 20
  std::int32_t headerFlags;      // offset 28
};
static_assert(sizeof(KXHDRPREFIX) == 32, "the shared header prefix is 32 bytes");
static_assert(offsetof(KXHDRPREFIX, structureLength) == 8 &&
                  offsetof(KXHDRPREFIX, encoding) == 12 &&
                  offsetof(KXHDRPREFIX, characterSet) == 16 &&
                  offsetof(KXHDRPREFIX, format) == 20 && offsetof(KXHDRPREFIX, headerFlags) == 28,
              "shared header prefix layout");

// VORN bridge header, 180 bytes (version 1 is the first 164).
struct KXVIH {
  KXHDRPREFIX prefix;                 // offset 0
  std::int32_t bridgeReturnCode;      // offset 32
  std::int32_t bridgeCompletionCode;  // offset 36
  std::int32_t bridgeReasonCode;      // offset 40
  std::int32_t UOWControl;            // offset 44
  std::int32_t getWaitInterval;       // offset 48
  std::int32_t linkType;              // offset 52
  std::int32_t outputDataLength;      // offset 56
  std::int32_t facilityKeepTime;      // offset 60
  std::int32_t ADSDescriptor;         // offset 64
  std::int32_t conversationalTask;    // offset 68
  std::int32_t taskEndStatus;         // offset 72
  unsigned char facilityToken[8];     // offset 76
  char function[4];                   // offset 84
  char bridgeAbendCode[4];            // offset 88
  char authenticator[8];              // offset 92
  char field100[8];                   // offset 100
  char replyToFormat[8];              // offset 108
  char field116[4];                   // offset 116
  char field120[4];                   // offset 120
  char transactionIdentifier[4];      // offset 124
  char facilityLike[4];               // offset 128
  char attentionIdentifier[4];        // offset 132
  char startCode[4];                  // offset 136
  char bridgeCancelCode[4];           // offset 140
  char nextTransactionIdentifier[4];  // offset 144
  char field148[8];                   // offset 148
  char field156[8];                   // offset 156
  std::int32_t cursorPosition;        // offset 164
  std::int32_t bridgeErrorOffset;     // offset 168
  std::int32_t field172;              // offset 172
  std::int32_t field176;              // offset 176
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
  KXHDRPREFIX prefix;                       // offset 0
  char logicalTerminalOverride[8];          // offset 32
  char messageFormatServicesMapName[8];     // offset 40
  char replyToFormat[8];                    // offset 48
  char authenticator[8];                    // offset 56
  unsigned char transactionInstanceId[16];  // offset 64
  char trailing[4];                         // offset 80
};
static_assert(sizeof(KXOIH) == 84, "KXOIH is 84 bytes");
static_assert(offsetof(KXOIH, logicalTerminalOverride) == 32 &&
                  offsetof(KXOIH, messageFormatServicesMapName) == 40 &&
                  offsetof(KXOIH, replyToFormat) == 48 && offsetof(KXOIH, authenticator) == 56 &&
                  offsetof(KXOIH, transactionInstanceId) == 64 && offsetof(KXOIH, trailing) == 80,
              "KXOIH layout");

// Work information header, 120 bytes.
struct KXWIH {
  KXHDRPREFIX prefix;              // offset 0
  char serviceName[32];            // offset 32
  char serviceStep[8];             // offset 64
  unsigned char messageToken[16];  // offset 72
  unsigned char reserved[32];      // offset 88
};
static_assert(sizeof(KXWIH) == 120, "KXWIH is 120 bytes");
static_assert(offsetof(KXWIH, serviceName) == 32 && offsetof(KXWIH, serviceStep) == 64 &&
                  offsetof(KXWIH, messageToken) == 72 && offsetof(KXWIH, reserved) == 88,
              "KXWIH layout");

// Reference header, fixed part of 108 bytes; the variable parts follow.
struct KXRMH {
  KXHDRPREFIX prefix;                         // offset 0
  char referenceType[8];                      // offset 32
  unsigned char instanceId[24];               // offset 40
  std::int32_t sourceEnvironmentLength;       // offset 64
  std::int32_t sourceEnvironmentOffset;       // offset 68
  std::int32_t sourceNameLength;              // offset 72
  std::int32_t sourceNameOffset;              // offset 76
  std::int32_t destinationEnvironmentLength;  // offset 80
  std::int32_t destinationEnvironmentOffset;  // offset 84
  std::int32_t destinationNameLength;         // offset 88
  std::int32_t destinationNameOffset;         // offset 92
  std::int32_t field96;                       // offset 96
  std::int32_t field100;                      // offset 100
  std::int32_t field104;                      // offset 104
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
  char structureId[4];        // offset 0
  std::int32_t version;       // offset 4
  char queueName[48];         // offset 8
  char processName[48];       // offset 56
  char triggerData[64];       // offset 104
  std::int32_t field168;      // offset 168
  char applicationId[256];    // offset 172
  char environmentData[128];  // offset 428
  char userData[128];         // offset 556
};
static_assert(sizeof(KXTM) == 684, "KXTM is 684 bytes");
static_assert(offsetof(KXTM, queueName) == 8 && offsetof(KXTM, processName) == 56 &&
                  offsetof(KXTM, triggerData) == 104 && offsetof(KXTM, field168) == 168 &&
                  offsetof(KXTM, applicationId) == 172 && offsetof(KXTM, environmentData) == 428 &&
                  offsetof(KXTM, userData) == 556,
              "KXTM layout");

// Trigger message in character form, 732 bytes.
struct tagKXTMC2 {
  char structureId[4];        // offset 0
  char version[4];            // offset 4
  char queueName[48];         // offset 8
  char processName[48];       // offset 56
  char triggerData[64];       // offset 104
  char field168[4];           // offset 168
  char applicationId[256];    // offset 172
  char environmentData[128];  // offset 428
  char userData[128];         // offset 556
  char trailing[48];          // offset 684
};
static_assert(sizeof(tagKXTMC2) == 732, "tagKXTMC2 is 732 bytes");
static_assert(offsetof(tagKXTMC2, field168) == 168 && offsetof(tagKXTMC2, applicationId) == 172 &&
                  offsetof(tagKXTMC2, trailing) == 684,
              "tagKXTMC2 layout");

// Get-message options, 100 bytes; the older layout is the first 80.
struct KXGMO {
  char structureId[4];             // offset 0
  std::int32_t version;            // offset 4
  std::int32_t options;            // offset 8
  std::int32_t field12;            // offset 12
  std::int32_t field16;            // offset 16
  std::int32_t field20;            // offset 20
  char resolvedQueueName[48];      // offset 24
  std::int32_t field72;            // offset 72
  char field76[4];                 // offset 76
  unsigned char messageToken[16];  // offset 80
  std::int32_t field96;            // offset 96
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
  char channelName[20];                  // offset 0
  std::int32_t field20;                  // offset 20
  std::int32_t field24;                  // offset 24
  std::int32_t transportType;            // offset 28
  unsigned char gap32[160];              // offset 32
  char shortConnectionName[20];          // offset 192
  unsigned char gap212[20];              // offset 212
  char modeName[8];                      // offset 232
  char transactionProgramName[64];       // offset 240
  std::int32_t field304;                 // offset 304
  std::int32_t field308;                 // offset 308
  std::int32_t field312;                 // offset 312
  std::int32_t field316;                 // offset 316
  std::int32_t field320;                 // offset 320
  std::int32_t field324;                 // offset 324
  char securityExitName[128];            // offset 328
  unsigned char gap456[384];             // offset 456
  std::int32_t field840;                 // offset 840
  std::int32_t maximumMessageLength;     // offset 844
  std::int32_t field848;                 // offset 848
  unsigned char gap852[4];               // offset 852
  char securityUserData[32];             // offset 856
  unsigned char gap888[96];              // offset 888
  char userId[12];                       // offset 984
  char password[12];                     // offset 996
  unsigned char gap1008[12];             // offset 1008
  std::int32_t field1020;                // offset 1020
  char connectionName[264];              // offset 1024
  unsigned char gap1288[184];            // offset 1288
  std::int32_t field1472;                // offset 1472
  std::int32_t field1476;                // offset 1476
  std::int32_t heartBeatInterval;        // offset 1480
  unsigned char gap1484[4];              // offset 1484
  std::int32_t field1488;                // offset 1488
  std::int32_t recordLength;             // offset 1492
  std::int32_t exitNameLength;           // offset 1496
  std::int32_t userDataLength;           // offset 1500
  unsigned char gap1504[4];              // offset 1504
  std::int32_t sendExitCount;            // offset 1508
  std::int32_t receiveExitCount;         // offset 1512
  unsigned char gap1516[20];             // offset 1516
  char *sendExitNames;                   // offset 1536
  char *sendUserData;                    // offset 1544
  char *receiveExitNames;                // offset 1552
  char *receiveUserData;                 // offset 1560
  unsigned char gap1568[120];            // offset 1568
  char sslCipherSpecification[32];       // offset 1688
  char *sslPeerName;                     // offset 1720
  std::int32_t sslPeerNameLength;        // offset 1728
  std::int32_t sslClientAuthentication;  // offset 1732
  std::int32_t keepAliveInterval;        // offset 1736
  char localAddress[48];                 // offset 1740
  std::int32_t batchHeartBeat;           // offset 1788
  std::int32_t headerCompression[2];     // offset 1792
  std::int32_t messageCompression[16];   // offset 1800
  unsigned char gap1864[8];              // offset 1864
  std::int32_t field1872;                // offset 1872
  unsigned char gap1876[12];             // offset 1876
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
