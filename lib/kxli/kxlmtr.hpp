// KxlMtr holds the five values by which a message is tracked: accounting
// token (32 bytes), correlation id (24), feedback (int32), group id (24)
// and message id (24). On its own it keeps each value in storage obtained
// on the value's first set; inside a KxlMsg the values are the message
// descriptor's fields.
#ifndef KXLI_KXLMTR_HPP_
#define KXLI_KXLMTR_HPP_

#include <cstdint>

#include "kxlbin.hpp"
#include "kxlerr.hpp"

class KXL_EXPORT KxlMtr : public virtual KxlErr {
 public:
  KxlMtr();
  KxlMtr(const KxlMtr &source);
  ~KxlMtr() override;
  // Copies the codes, then sets each of the five values from the source's,
  // so that all five have storage afterwards.
  void operator=(const KxlMtr &source);

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

 protected:
  // Points the five values at storage the caller owns (a message's
  // descriptor fields); trackInto(nullptr, ...) before destruction makes
  // the tracker release nothing.
  void trackInto(unsigned char *accountingToken, unsigned char *correlationId,
                 std::int32_t *feedback, unsigned char *groupId, unsigned char *messageId);

 private:
  unsigned char *accountingToken_;
  unsigned char *correlationId_;
  std::int32_t *feedback_;
  unsigned char *groupId_;
  unsigned char *messageId_;
};

#endif  // KXLI_KXLMTR_HPP_
