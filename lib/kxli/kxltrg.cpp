#include "kxltrg.hpp"

#include <cstring>

#include "kxlfld.hpp"

namespace {

constexpr char kTriggerFormat[] = "KXTRIG  ";
constexpr std::size_t kNumberWidth = sizeof(tagKXTMC2::field168);

// Function numbers of copyOut to the character form and of pasteIn.
constexpr unsigned short kCopyOutRecord = 51;
constexpr unsigned short kPasteIn = 52;

// The number at offset 168 as the character form holds it: its decimal
// text, blanks in front while shorter than four characters, then its first
// four characters. Should storage run out while the text is built, what
// was built stands right-aligned among blanks.
void putNumber(std::int32_t value, char *field) {
  KxlStr number;
  number += static_cast<long>(value);
  while (number.length() < kNumberWidth) {
    const std::size_t before = number.length();
    number = KxlStr(' ') + number;
    if (number.length() <= before) break;
  }
  const std::size_t used = number.length() < kNumberWidth ? number.length() : kNumberWidth;
  std::memset(field, ' ', kNumberWidth - used);
  if (used != 0) std::memcpy(field + kNumberWidth - used, static_cast<const char *>(number), used);
}

}  // namespace

KxlTrg::KxlTrg() : record_() {
  std::memcpy(record_.structureId, "TM  ", sizeof record_.structureId);
  record_.version = 1;
}

KxlTrg::KxlTrg(const KxlTrg &other) : KxlTrg() { *this = other; }

KxlTrg::~KxlTrg() = default;

void KxlTrg::operator=(const KxlTrg &other) {
  if (this == &other) return;
  KxlItm::operator=(other);
  record_ = other.record_;
}

KxlStr KxlTrg::queueName() const {
  return kxlFieldText(record_.queueName, sizeof record_.queueName, true);
}

KxlStr KxlTrg::processName() const {
  return kxlFieldText(record_.processName, sizeof record_.processName, true);
}

KxlStr KxlTrg::triggerData() const {
  return kxlFieldText(record_.triggerData, sizeof record_.triggerData, true);
}

KxlStr KxlTrg::applicationId() const {
  return kxlFieldText(record_.applicationId, sizeof record_.applicationId, true);
}

KxlStr KxlTrg::environmentData() const {
  return kxlFieldText(record_.environmentData, sizeof record_.environmentData, true);
}

KxlStr KxlTrg::userData() const {
  return kxlFieldText(record_.userData, sizeof record_.userData, true);
}

void KxlTrg::setQueueName(const char *text) {
  kxlSetFieldText(record_.queueName, sizeof record_.queueName, text, '\0');
}

void KxlTrg::setProcessName(const char *text) {
  kxlSetFieldText(record_.processName, sizeof record_.processName, text, '\0');
}

void KxlTrg::setTriggerData(const char *text) {
  kxlSetFieldText(record_.triggerData, sizeof record_.triggerData, text, '\0');
}

void KxlTrg::setApplicationId(const char *text) {
  kxlSetFieldText(record_.applicationId, sizeof record_.applicationId, text, '\0');
}

void KxlTrg::setEnvironmentData(const char *text) {
  kxlSetFieldText(record_.environmentData, sizeof record_.environmentData, text, '\0');
}

void KxlTrg::setUserData(const char *text) {
  kxlSetFieldText(record_.userData, sizeof record_.userData, text, '\0');
}

bool KxlTrg::copyOut(tagKXTMC2 *record) {
  if (record == nullptr) {
    return fail(kCopyOutRecord, "KxlTrigger::copyOut (error): null pointer to KXTMC2",
                KXRC_NULL_POINTER);
  }
  std::memcpy(record->structureId, "TMC ", sizeof record->structureId);
  std::memcpy(record->version, "   2", sizeof record->version);
  // Each copy reports into its temporary string, never into the trigger.
  queueName().copyOut(record->queueName, sizeof record->queueName, ' ');
  processName().copyOut(record->processName, sizeof record->processName, ' ');
  triggerData().copyOut(record->triggerData, sizeof record->triggerData, ' ');
  putNumber(record_.field168, record->field168);
  applicationId().copyOut(record->applicationId, sizeof record->applicationId, ' ');
  environmentData().copyOut(record->environmentData, sizeof record->environmentData, ' ');
  userData().copyOut(record->userData, sizeof record->userData, ' ');
  std::memset(record->trailing, ' ', sizeof record->trailing);
  return true;
}

bool KxlTrg::copyOut(KxlMsg &message) {
  return writeBody(message, &record_, sizeof record_, kTriggerFormat);
}

bool KxlTrg::pasteIn(KxlMsg &message) {
  static const Layout kLayout = {"KxlTrigger", "TM  ", kTriggerFormat, kPasteIn};
  return checkRecord(message, kLayout) && readRecord(message, &record_, sizeof record_);
}
