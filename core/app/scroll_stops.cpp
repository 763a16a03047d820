#include "core/app/scroll_stops.h"

#include <cctype>
#include <cmath>

namespace mervane {
namespace {
// The blank, 29 punctuation characters, the digits and the letters, in the order the keys sort
// them (ASCII with letters taken as lower case, as SQLite's NOCASE does).
constexpr std::string_view kSort =
    " !\"#$%&'()*+,-./0123456789:;<=>?@[\\]^_`ABCDEFGHIJKLMNOPQRSTUVWXYZ~";
constexpr int kDigits = 4;
}  // namespace

double RealStops::next() {
  ++counter_;
  if (counter_ <= 1) return low_;
  if (counter_ >= 100) return high_;
  return low_ + step_ * (counter_ - 1);
}

std::string_view StringStops::sort_characters() {
  return kSort;
}

StringStops::StringStops(std::string_view low, std::string_view high, std::size_t key_size)
    : low_(low), high_(high), size_(key_size) {
  lo_ = value_of(low);
  step_ = (value_of(high) - lo_) / 99;
}

double StringStops::value_of(std::string_view s) const {
  double v = 0;
  for (int i = 0; i < kDigits; ++i) {
    const char c = i < static_cast<int>(s.size())
                       ? static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])))
                       : ' ';
    // A character outside the set counts as the nearest one below it.
    std::size_t idx = 0;
    for (std::size_t k = 0; k < kSort.size(); ++k)
      if (static_cast<unsigned char>(kSort[k]) <= static_cast<unsigned char>(c)) idx = k;
    v = v * static_cast<double>(kSort.size()) + static_cast<double>(idx);
  }
  return v;
}

std::string StringStops::text_of(double v) const {
  std::string s(kDigits, ' ');
  const auto base = static_cast<double>(kSort.size());
  v = std::floor(v + 1e-9);
  for (int i = kDigits - 1; i >= 0; --i) {
    const double d = std::fmod(v, base);
    s[static_cast<std::size_t>(i)] = kSort[static_cast<std::size_t>(d)];
    v = std::floor(v / base);
  }
  if (s.size() < size_) s.resize(size_, ' ');
  return s;
}

std::string StringStops::next() {
  ++counter_;
  std::string out;
  if (counter_ <= 1)
    out = low_;
  else if (counter_ >= 100)
    out = high_;
  else
    out = text_of(lo_ + step_ * (counter_ - 1));
  if (out.size() < size_) out.resize(size_, ' ');
  return out;
}

}  // namespace mervane
