#include "core/util/num_only.h"

#include "core/util/text.h"

namespace mervane {

double num_only(std::string_view text) {
  double value = 0.0;
  double scale = 1.0;
  bool after_point = false;
  // The export hands at most 32 characters; longer texts are read whole, the same way.
  for (char c : clip(text)) {
    if (c >= '0' && c <= '9') {
      if (after_point) scale /= 10;
      value = value * 10 + (c - '0');
    } else if (c == '.') {
      after_point = true;
    } else if (c == '-') {
      scale = -scale;
    }
  }
  return value * scale;
}

}  // namespace mervane
