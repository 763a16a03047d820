#include "core/auxdata/swap_rate_line.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace mervane {
namespace {

std::string_view strip(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

Parsed<double> not_a_number(std::string_view s) {
  std::string reason = "'";
  reason += s;
  reason += "' is not a number";
  return {std::nullopt, reason};
}

}  // namespace

Parsed<double> read_swap_value(std::string_view text) {
  const std::string_view s = strip(text);
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  bool digit = false, point = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9') {
      digit = true;
    } else if (s[i] == '.' && !point) {
      point = true;
    } else {
      return not_a_number(s);
    }
  }
  if (!digit) return not_a_number(s);
  // The syntax is plain decimal, so strtod reads all of it; only the size can still fail.
  const std::string copy(s);
  const double v = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(v)) return {std::nullopt, "'" + copy + "' is too large"};
  return {v, {}};
}

Parsed<SwapRateLine> read_swap_rate_line(std::string_view line) {
  const std::size_t c1 = line.find(',');
  if (c1 == std::string_view::npos) return {std::nullopt, "no comma"};
  const std::size_t c2 = line.find(',', c1 + 1);
  if (c2 == std::string_view::npos) return {std::nullopt, "no second comma"};
  SwapRateLine out;
  // Blanks around the pair go before and after it is cut to its 6 characters.
  out.pair = strip(strip(line.substr(0, c1)).substr(0, 6));
  if (out.pair.blank()) return {std::nullopt, "no currency pair before the first comma"};
  const auto buy = read_swap_value(line.substr(c1 + 1, c2 - c1 - 1));
  if (!buy) return {std::nullopt, "buy swap " + buy.reason};
  const auto sell = read_swap_value(line.substr(c2 + 1));
  if (!sell) return {std::nullopt, "sell swap " + sell.reason};
  out.buy = *buy.value;
  out.sell = *sell.value;
  return {out, {}};
}

}  // namespace mervane
