// The records the pictures of the windows show: the week of 2 March 2009 in the Event History
// and the preview, a few auxiliary items, swap rates and swap definitions.
#pragma once

#include <cstdint>
#include <filesystem>

namespace mervane::gui {

// The positions of the first record of each table, for the forms that change one.
struct SampleData {
  std::int64_t event = 0, item = 0, rate = 0, definition = 0;
};

SampleData fill_sample_tables(const std::filesystem::path& folder);

// One event in the Event History, so that the Build window opens without the Initial setup;
// false when it could not be stored.
bool seed_history(const std::filesystem::path& folder);

}  // namespace mervane::gui
