// The 100 stops of a browse list's scroll bar: a thumb position becomes a key value to position
// at. Stop 1 is the lowest key value, stop 100 the highest, the others evenly between.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mervane {

// SETUPREALSTOPS / NEXTREALSTOP, for numeric keys.
class RealStops {
 public:
  RealStops(double low, double high) : low_(low), high_(high), step_((high - low) / 99) {}
  double next();

 private:
  double low_, high_, step_;
  int counter_ = 0;
};

// SETUPSTRINGSTOPS / NEXTSTRINGSTOP, for text keys: the first four characters of the lowest and
// highest values are read as numbers in the base of the sort characters, in the order of the
// key (letters without regard to case, as the keys compare).
class StringStops {
 public:
  StringStops(std::string_view low, std::string_view high, std::size_t key_size);
  std::string next();

  static std::string_view sort_characters();

 private:
  double value_of(std::string_view s) const;
  std::string text_of(double v) const;

  std::string low_, high_;
  std::size_t size_;
  double lo_ = 0, step_ = 0;
  int counter_ = 0;
};

}  // namespace mervane
