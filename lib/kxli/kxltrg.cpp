#include "kxltrg.hpp"

#include <cstring>

#include "kxlfld.hpp"

namespace {

constexpr char kTriggerFormat[] = "KXTRIG  ";
constexpr std::size_t kNumberWidth = sizeof(tagKXTMC2::field168);

// Function numbers of copyOut to the character form and of pasteIn.

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
  kxlSetChars(record_.structureId, "TM  ");
  record_.version = 1;
}

KxlTrg::KxlTrg(const KxlTrg &other) : KxlTrg() { *this = other; }

KxlTrg::~KxlTrg() = default;

void KxlTrg::operator=(const KxlTrg &other) {
  if (this == &other) return;
  KxlItm::operator=(other);
  record_ = other.record_;
}

KxlStr KxlTrg::queueName() const { return kxlGetText(record_.queueName, true); }

KxlStr KxlTrg::processName() const { return kxlGetText(record_.processName, true); }

KxlStr KxlTrg::triggerData() const { return kxlGetText(record_.triggerData, true); }

KxlStr KxlTrg::applicationId() const { return kxlGetText(record_.applicationId, true); }

KxlStr KxlTrg::environmentData() const { return kxlGetText(record_.environmentData, true); }

KxlStr KxlTrg::userData() const { return kxlGetText(record_.userData, true); }

void KxlTrg::setQueueName(const char *text) { kxlSetText(record_.queueName, text, '\0'); }

void KxlTrg::setProcessName(const char *text) { kxlSetText(record_.processName, text, '\0'); }

void KxlTrg::setTriggerData(const char *text) { kxlSetText(record_.triggerData, text, '\0'); }

void KxlTrg::setApplicationId(const char *text) { kxlSetText(record_.applicationId, text, '\0'); }

void KxlTrg::setEnvironmentData(const char *text) {
  kxlSetText(record_.environmentData, text, '\0');
}

void KxlTrg::setUserData(const char *text) { kxlSetText(record_.userData, text, '\0'); }

bool KxlTrg::copyOut(tagKXTMC2 *record) {
  if (record == nullptr) {
    return fail(kKxlFnTriggerCopyOut, "KxlTrigger::copyOut (error): null pointer to KXTMC2",
                KXRC_NULL_POINTER);
  }
  kxlSetChars(record->structureId, "TMC ");
  kxlSetChars(record->version, "   2");
  // Each copy reports into its temporary string, never into the trigger.
  kxlCopyOut(queueName(), record->queueName, ' ');
  kxlCopyOut(processName(), record->processName, ' ');
  kxlCopyOut(triggerData(), record->triggerData, ' ');
  putNumber(record_.field168, record->field168);
  kxlCopyOut(applicationId(), record->applicationId, ' ');
  kxlCopyOut(environmentData(), record->environmentData, ' ');
  kxlCopyOut(userData(), record->userData, ' ');
  kxlFill(record->trailing, ' ');
  return true;
}

bool KxlTrg::copyOut(KxlMsg &message) {
  return writeBody(message, &record_, sizeof record_, kTriggerFormat);
}

bool KxlTrg::pasteIn(KxlMsg &message) {
  static const Layout kLayout = {"KxlTrigger", "TM  ", kTriggerFormat, kKxlFnTriggerPasteIn};
  return checkRecord(message, kLayout) && readRecord(message, &record_, sizeof record_);
}
