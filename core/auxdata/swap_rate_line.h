// One line of the swap rate file "swaprate.csv": a currency pair, the buy swap and the sell swap,
// separated by commas, with no header line and no quoting:
//   EURUSD,1.25,-3.5
// The pair is the text before the first comma (its first 6 characters count), the buy swap lies
// between the first and the second comma, the sell swap runs from the second comma to the end of
// the line.
//
// Brokers' files are often edited by hand, so the reader is strict and says why it refuses a
// line rather than guessing: a line without two commas, a blank pair or a value that is not a
// plain decimal number gives no value and a reason. Blanks and tabs around each part are
// ignored. Any input is safe to pass; nothing is read outside the line.
#pragma once

#include <string_view>

#include "core/util/picture.h"
#include "core/util/text.h"

namespace mervane {

struct SwapRateLine {
  Text<6> pair;
  double buy = 0;
  double sell = 0;
};

Parsed<SwapRateLine> read_swap_rate_line(std::string_view line);

// A swap value: an optional "+" or "-", digits with at most one decimal point and at least one
// digit ("-3.5", "+.25", "12."). No exponent, no grouping, no "nan" or "inf".
Parsed<double> read_swap_value(std::string_view text);

}  // namespace mervane
