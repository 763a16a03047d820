// What the calendar reader targets share: the check boxes from an input's first byte, and the
// limits every finished event keeps, whichever reader made it (each text within the width of its
// row field, an impact letter and the colour that goes with it).
#pragma once

#include <cstdint>
#include <cstdlib>

#include "core/import/page_reader.h"

namespace mervane::fuzz {

// The four check boxes from the low bits of a byte.
inline PageOptions options_from(unsigned char byte) {
  PageOptions o;
  o.nonecon = byte & 1;
  o.incut = byte & 2;
  o.incuv = byte & 4;
  o.cnvfmt = byte & 8;
  return o;
}

inline void check_event(const PageEvent& e) {
  if (e.time_text.size() > 20 || e.currency.size() > 20 || e.descr.size() > 60 ||
      e.actual.size() > 20 || e.forecast.size() > 20 || e.previous.size() > 20 ||
      e.revisedfrom.size() > 20 || e.kxid.size() > 6)
    std::abort();
  if (e.impact != 'L' && e.impact != 'M' && e.impact != 'H') std::abort();
  if (e.color != '1' + (e.impact == 'M') + 2 * (e.impact == 'H')) std::abort();
}

// The order every reader keeps with its sink: the days cleared once, before the first event;
// each event checked and dated within the days cleared, give or take `before` and `after`
// days; the end of the page once.
class OrderedSink : public PageSink {
 public:
  OrderedSink(std::int32_t before, std::int32_t after) : before_(before), after_(after) {}
  int deletes = 0, done = 0;
  std::int32_t first_day = 0, last_day = 0;

  void delete_week(std::int32_t first) override { cleared(first, first + 6); }
  void delete_days(std::int32_t first, std::int32_t last) override { cleared(first, last); }
  void store(const PageEvent& e) override {
    if (deletes != 1 || done) std::abort();
    if (std::int64_t{first_day} - e.date > before_ || std::int64_t{e.date} - last_day > after_)
      std::abort();
    check_event(e);
    checked(e);
  }
  void page_done() override {
    if (++done != 1) std::abort();
  }

 protected:
  // What a reader's days must be like, and what its events must be besides.
  virtual void cleared(std::int32_t first, std::int32_t last) {
    if (++deletes != 1 || done) std::abort();
    first_day = first;
    last_day = last;
  }
  virtual void checked(const PageEvent&) {}

 private:
  std::int32_t before_, after_;
};

}  // namespace mervane::fuzz
