// KxlPfx is a header whose record begins with the common 32-byte prefix
// (structure id, version, structure length, encoding, character set,
// format, header flags): the OXT bridge, VORN bridge, work information and
// reference headers. Its eight header accessors read and write that prefix
// wherever the concrete header keeps its record.
#ifndef KXLI_KXLPFX_HPP_
#define KXLI_KXLPFX_HPP_

#include <cstdint>
#include <typeinfo>

#include "kxlhdr.hpp"
#include "kxlrec.hpp"

class KXL_EXPORT KxlPfx : public KxlHdr {
 public:
  ~KxlPfx() override;

  long characterSet() const override;
  long encoding() const override;
  // The 8 format characters up to a null byte; blanks kept.
  KxlStr format() const override;
  long headerFlags() const override;
  void setCharacterSet(long characterSet) override;
  void setEncoding(long encoding) override;
  // Up to 8 characters, blank padded.
  void setFormat(const char *name) override;
  void setHeaderFlags(long flags) override;

 protected:
  // REQUIRES: the concrete header calls usePrefix with its record's prefix
  // in each of its constructors, before any accessor runs.
  KxlPfx();
  // Points the accessors at the prefix of the concrete header `owner`'s
  // record and gives that prefix the values of a new header: the structure
  // id, version, structure length and header flags given, the native
  // encoding, character set 0 and a blank format.
  void usePrefix(KXHDRPREFIX *prefix, const std::type_info &owner, const char (&structureId)[5],
                 std::int32_t version, std::int32_t structureLength, std::int32_t headerFlags);
  // Copies the codes only; the prefix stays where this object keeps it.
  void operator=(const KxlPfx &other);

 private:
  KxlPfx(const KxlPfx &) = delete;

  KXHDRPREFIX *prefix_;
};

#endif  // KXLI_KXLPFX_HPP_
