// KxlErr is the root of every kxli class: the completion and reason codes
// of the object's last failing or warning operation, the pointer checks
// that every operation taking a caller's buffer goes through, and the
// class-level allocation functions that all kxli classes inherit.
//
// Assignment operators of kxli return nothing and do nothing when an object
// is assigned to itself.
#ifndef KXLI_KXLERR_HPP_
#define KXLI_KXLERR_HPP_

#include <cstddef>
#include <cstdint>

#include "kxlcodes.hpp"
#include "kxlexp.hpp"

class KxlStr;

class KXL_EXPORT KxlErr {
 public:
  KxlErr();
  virtual ~KxlErr();

  // Sets both codes to 0.
  void clearErrorCodes();
  // The codes of the last failing or warning operation (KXCC_*, KXRC_*),
  // 0 and 0 when none.
  long completionCode() const { return completionCode_; }
  long reasonCode() const { return reasonCode_; }

  // Objects of every kxli class come from the global allocation functions.
  static void *operator new(std::size_t size);
  static void *operator new[](std::size_t size);
  static void operator delete(void *pointer);
  static void operator delete[](void *pointer);

  // Copies both codes.
  KxlErr(const KxlErr &other);
  // Copies both codes.
  void operator=(const KxlErr &other);

 protected:
  // True when the caller may read (write) `length` bytes at `pointer`;
  // otherwise sends the check's text and sets 2/2004.
  bool checkReadPointer(const void *pointer, std::size_t length);
  bool checkWritePointer(const void *pointer, std::size_t length);

  // Sets both codes; a `long` is kept as its low 32 bits.
  void setErrorCodes(long completion, long reason);
  // Takes over the codes of `other` (an item those of the message it used).
  void takeErrorCodes(const KxlErr &other);
  // Sends `text` with component 31 and `function`, then sets 2/`reason`.
  // Returns false, so that a failing path can end in `return fail(...)`.
  bool fail(unsigned short function, const char *text, long reason);
  // Sets 2/`reason` for a failure that sends no text; returns false.
  bool fail(long reason);
  // Sends `text` with component 31 and `function`, then sets 1/`reason`.
  void warn(unsigned short function, const char *text, long reason);

 private:
  // The static copy with an error object reports into any object.
  friend class KxlStr;

  std::int32_t completionCode_;
  std::int32_t reasonCode_;
};

#endif  // KXLI_KXLERR_HPP_
