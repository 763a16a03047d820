// What the calendar reader targets share: the check boxes from an input's first byte, and the
// limits every finished event keeps, whichever reader made it (each text within the width of its
// row field, an impact letter and the colour that goes with it).
#pragma once

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

}  // namespace mervane::fuzz
