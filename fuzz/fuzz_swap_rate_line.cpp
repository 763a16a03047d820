// The swap rate file's line reader on arbitrary bytes: it never reads out of bounds, a line it
// refuses has a reason, and a line it accepts has a pair and finite swaps that, written again
// as "pair,buy,sell", read back the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/auxdata/swap_rate_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const auto r = mervane::read_swap_rate_line(line);
  if (!r) {
    if (r.reason.empty()) std::abort();
    return 0;
  }
  const mervane::SwapRateLine& v = *r.value;
  if (v.pair.blank() || v.pair.length() > 6) std::abort();
  if (!std::isfinite(v.buy) || !std::isfinite(v.sell)) std::abort();
  if (v.pair.view().find(',') != std::string_view::npos) std::abort();
  // %.17g is exact; the reader takes no exponent, so only values printed without one.
  char buy[64], sell[64];
  std::snprintf(buy, sizeof buy, "%.17g", v.buy);
  std::snprintf(sell, sizeof sell, "%.17g", v.sell);
  if (std::string_view(buy).find('e') == std::string_view::npos &&
      std::string_view(sell).find('e') == std::string_view::npos) {
    const auto again =
        mervane::read_swap_rate_line(std::string(v.pair.view()) + "," + buy + "," + sell);
    if (!again || !(again.value->pair == v.pair) || again.value->buy != v.buy ||
        again.value->sell != v.sell)
      std::abort();
  }
  return 0;
}
