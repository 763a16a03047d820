#include "core/analysis/effects_offsets.h"

namespace mervane {
namespace {

struct Timeframe {
  std::string_view code;
  std::int32_t step;
  std::string_view minutes;
};

constexpr Timeframe kTimeframes[] = {
    {"M1", 1, "1"},       {"M5", 5, "5"},         {"M15", 15, "15"},
    {"M30", 30, "30"},    {"H1", 60, "60"},       {"H4", 240, "240"},
    {"D1", 1440, "1440"}, {"W1", 10080, "10080"}, {"MN", 43200, "43200"},
};

const Timeframe* find(std::string_view code) {
  for (const Timeframe& t : kTimeframes)
    if (t.code == code) return &t;
  return nullptr;
}

}  // namespace

std::optional<std::int32_t> timeframe_step(std::string_view code) {
  if (const Timeframe* t = find(code)) return t->step;
  return std::nullopt;
}

std::string_view history_minutes(std::string_view code) {
  const Timeframe* t = find(code);
  return t ? t->minutes : std::string_view();
}

std::vector<std::int16_t> offsets_in_use(const std::array<std::int16_t, 24>& timeint) {
  std::vector<std::int16_t> used{timeint[0]};
  for (std::size_t i = 1; i < timeint.size(); ++i) {
    if (timeint[i] == 0 && timeint[i - 1] >= 0) break;
    used.push_back(timeint[i]);
  }
  return used;
}

std::optional<std::size_t> first_entry(const std::array<std::int16_t, 24>& timeint,
                                       std::int16_t value) {
  for (std::size_t i = 0; i < timeint.size(); ++i)
    if (timeint[i] == value) return i;
  return std::nullopt;
}

}  // namespace mervane
