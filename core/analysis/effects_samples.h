// The working lists of the effects analysis: the sampling moments of every event (event x
// offset in use) with the price of each pair at each moment, and the merge that fills the
// prices from a history file read once front to back.
//
// Moments are whole seconds since day 0 of the date serials (28 December 1800 00:00), so a bar
// time and a sampling moment compare exactly. Memory grows with events x offsets x pairs and
// never with the size of a history file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/history_file.h"

namespace mervane {

struct EffectsSample {
  std::int64_t moment = 0;
  std::int32_t idno = 0;  // the event, from 1
  std::int16_t mins = 0;  // the offset in minutes
  bool slot = false;      // the event's own time (the first 0 offset in use)
};

// Prices of one pair at one moment; open 0 where no bar opened at that moment.
struct PairPrice {
  double open = 0;
  double plus = 0;   // high - open
  double minus = 0;  // low - open
};

class SampleList {
 public:
  explicit SampleList(std::size_t pairs) : pairs_(pairs) {}

  void add(const EffectsSample& s) { samples_.push_back(s); }
  std::size_t size() const { return samples_.size(); }
  const EffectsSample& operator[](std::size_t i) const { return samples_[i]; }

  // Time order: by moment, each event's own time before the offsets at the same moment, then
  // by offset; samples that tie keep the order they were added in. Prices are given after.
  void sort_by_moment();
  // Indexes of the samples by event, the event's own time first, then by offset.
  std::vector<std::size_t> by_event() const;

  PairPrice& price(std::size_t sample, std::size_t pair) { return prices_[sample * pairs_ + pair]; }
  const PairPrice& price(std::size_t sample, std::size_t pair) const {
    return prices_[sample * pairs_ + pair];
  }

 private:
  std::size_t pairs_;
  std::vector<EffectsSample> samples_;
  std::vector<PairPrice> prices_;
};

// The moment of an event's date and time serials shifted by an offset in minutes, as the
// date-time number of those values counts it (whole seconds; time 0 is midnight).
std::int64_t sample_moment(std::int32_t date, std::int32_t time, std::int32_t offset_minutes);
// The moment of a bar time (seconds since 1970) from kFirstBarTime to kLastBarTime, the times
// of the bars a HistoryFile yields.
std::int64_t bar_moment(std::int64_t unix_seconds);

// Walks the bars of an open history file and the samples in time order together: every sample
// whose moment is the open time of a bar gets that bar's prices for the pair; a sample inside a
// bar, or after the end of the history, gets none. Calls found() once per price stored.
void merge_prices(HistoryFile& file, SampleList& samples, std::size_t pair,
                  const std::function<void()>& found);

// The pair names of a pair list: name k at characters (k - 1) x 7 + 1 to + 6, at most 20,
// ending at the first blank name; each clipped.
std::vector<std::string> pair_list(std::string_view pairs);

// A date as the export's date format gives it: a letter ("D" dd s mm s yyyy, "M" mm s dd s
// yyyy, any other yyyy s mm s dd) and the separator s.
std::string date_cell(std::string_view datefmt, std::int32_t date);

}  // namespace mervane
