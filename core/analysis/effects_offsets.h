// The chart timeframes of the effects analysis and the rules that pick the sampling offsets in
// use out of the 24 entries of EffectsSettings::timeint. Plain functions without state.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace mervane {

// The nine timeframe codes in the order of the window's radio buttons.
constexpr std::array<std::string_view, 9> kTimeframeCodes = {"M1", "M5", "M15", "M30", "H1",
                                                             "H4", "D1", "W1",  "MN"};

// Minutes per bar of a timeframe code ("H1" 60, "MN" 43200); nothing for any other code.
[[nodiscard]] std::optional<std::int32_t> timeframe_step(std::string_view code);

// The minutes part of a history file name ("60" for "H1"); empty for any other code.
std::string_view history_minutes(std::string_view code);

// The offsets in use, in entry order: entry 1 always, then each entry while it is non-zero or,
// being zero, follows a negative entry (that zero is the event's own time). The first other
// zero ends the list.
std::vector<std::int16_t> offsets_in_use(const std::array<std::int16_t, 24>& timeint);

// Index (from 0) of the first of the 24 entries equal to value; nothing when none is.
std::optional<std::size_t> first_entry(const std::array<std::int16_t, 24>& timeint,
                                       std::int16_t value);

}  // namespace mervane
