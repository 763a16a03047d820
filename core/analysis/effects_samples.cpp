#include "core/analysis/effects_samples.h"

#include <algorithm>
#include <numeric>

#include "core/util/dates.h"
#include "core/util/picture.h"
#include "core/util/text.h"

namespace mervane {

void SampleList::sort_by_moment() {
  std::stable_sort(samples_.begin(), samples_.end(),
                   [](const EffectsSample& a, const EffectsSample& b) {
                     if (a.moment != b.moment) return a.moment < b.moment;
                     if (a.slot != b.slot) return a.slot;
                     return a.mins < b.mins;
                   });
  prices_.assign(samples_.size() * pairs_, PairPrice{});
}

std::vector<std::size_t> SampleList::by_event() const {
  std::vector<std::size_t> order(samples_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [this](std::size_t x, std::size_t y) {
    const EffectsSample& a = samples_[x];
    const EffectsSample& b = samples_[y];
    if (a.idno != b.idno) return a.idno < b.idno;
    if (a.slot != b.slot) return a.slot;
    return a.mins < b.mins;
  });
  return order;
}

std::int64_t sample_moment(std::int32_t date, std::int32_t time, std::int32_t offset_minutes) {
  const std::int64_t t = std::int64_t{time} + std::int64_t{offset_minutes} * 6000;
  // Hundredths are dropped toward zero, as the date-time number drops them.
  return std::int64_t{date} * 86400 + (t - 1) / 100;
}

std::int64_t bar_moment(std::int64_t unix_seconds) {
  return std::int64_t{kUnixEpochSerial} * 86400 + unix_seconds;
}

void merge_prices(HistoryFile& file, SampleList& samples, std::size_t pair,
                  const std::function<void()>& found) {
  HistoryBar bar;
  bool have = file.next(bar);
  for (std::size_t i = 0; i < samples.size() && have; ++i) {
    const std::int64_t moment = samples[i].moment;
    if (moment > bar_moment(bar.time)) have = file.next_from(moment - bar_moment(0), bar);
    if (have && moment == bar_moment(bar.time)) {
      samples.price(i, pair) = {bar.open, bar.high - bar.open, bar.low - bar.open};
      found();
    }
  }
}

std::vector<std::string> pair_list(std::string_view pairs) {
  std::vector<std::string> out;
  for (std::size_t k = 0; k < 20; ++k) {
    const std::size_t at = k * 7;
    std::string name = at < pairs.size() ? std::string(clip(pairs.substr(at, 6))) : std::string();
    if (name.empty()) break;
    out.push_back(std::move(name));
  }
  return out;
}

std::string date_cell(std::string_view datefmt, std::int32_t date) {
  const char order = datefmt.empty() ? ' ' : datefmt[0];
  const std::string sep(1, datefmt.size() > 1 ? datefmt[1] : ' ');
  const Ymd d = ymd_of(date);
  const std::string dd = format_value("N02", d.day);
  const std::string mm = format_value("N02", d.month);
  const std::string yyyy = format_value("N04", static_cast<double>(d.year));
  if (order == 'D') return dd + sep + mm + sep + yyyy;
  if (order == 'M') return mm + sep + dd + sep + yyyy;
  return yyyy + sep + mm + sep + dd;
}

}  // namespace mervane
