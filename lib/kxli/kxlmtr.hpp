// KxlMtr holds the five values by which a message is tracked: accounting
// token (32 bytes), correlation id (24), feedback (int32), group id (24)
// and message id (24). On its own it keeps each value in storage obtained
// on the value's first set; inside a KxlMsg the values are the message
// descriptor's fields.
#ifndef KXLI_KXLMTR_HPP_
#define KXLI_KXLMTR_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>

#include "kxlbin.hpp"
#include "kxlerr.hpp"

class KXL_EXPORT KxlMtr : public virtual KxlErr {
 public:
  KxlMtr();
  ~KxlMtr() override;

  // A value without storage reads as an empty byte string (feedback: 0).
  KxlBin accountingToken() const;
  KxlBin correlationId() const;
  KxlBin groupId() const;
  KxlBin messageId() const;
  long feedback() const;

  // A byte string of exactly the value's width, or an empty one (which
  // zeroes the value); any other length fails with 6111.
  bool setAccountingToken(const KxlBin &token);
  bool setCorrelationId(const KxlBin &id);
  bool setGroupId(const KxlBin &id);
  bool setMessageId(const KxlBin &id);
  // Copy the value's width of bytes at the pointer; a null pointer zeroes.
  // REQUIRES: a non-null pointer has the value's width of readable bytes.
  void setAccountingToken(const unsigned char *token);
  void setCorrelationId(const unsigned char *id);
  void setGroupId(const unsigned char *id);
  void setMessageId(const unsigned char *id);
  void setFeedback(long feedback);

  // Default construction followed by assignment from `source`.
  KxlMtr(const KxlMtr &source);
  // Copies the codes, then sets each of the five values from the source's,
  // so that all five have storage afterwards.
  void operator=(const KxlMtr &source);

 protected:
  // Points the five values at storage the caller owns (a message's
  // descriptor fields). Storage the tracker obtained itself is released
  // first, and the caller's storage is never released; trackInto(nullptr,
  // ...) before destruction therefore makes the tracker release nothing. A
  // value pointed at null has no storage until its next set.
  // REQUIRES: each non-null pointer has the value's width (32, 24, 4, 24,
  // 24 bytes) and stays valid until the values are pointed elsewhere or the
  // tracker is destroyed.
  void trackInto(unsigned char *accountingToken, unsigned char *correlationId,
                 std::int32_t *feedback, unsigned char *groupId, unsigned char *messageId);

 private:
  // The values' storage of the tracker's own, obtained (zero-filled) when
  // the first value without storage is set; from then on each value set
  // points into it.
  struct OwnValues;
  OwnValues &own();

  // The value's storage: `field` of the own storage when it has none yet.
  template <std::size_t N>
  unsigned char *storageOf(unsigned char *&value, unsigned char (OwnValues::*field)[N]);
  template <std::size_t N>
  bool setBytes(unsigned char *&value, unsigned char (OwnValues::*field)[N], const KxlBin &bytes,
                unsigned short function, const char *text);
  template <std::size_t N>
  void setBytes(unsigned char *&value, unsigned char (OwnValues::*field)[N],
                const unsigned char *bytes);

  unsigned char *accountingToken_;
  unsigned char *correlationId_;
  std::int32_t *feedback_;
  unsigned char *groupId_;
  unsigned char *messageId_;
  std::unique_ptr<OwnValues> own_;
};

#endif  // KXLI_KXLMTR_HPP_
