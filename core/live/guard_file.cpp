#include "core/live/guard_file.h"

#include <algorithm>
#include <tuple>

#include "core/runtime/output_file.h"
#include "core/runtime/paths.h"
#include "core/util/charset.h"
#include "core/util/dates.h"

namespace mervane {
namespace {

int rank(char impact) {
  return impact == 'H' ? 3 : impact == 'M' ? 2 : impact == 'L' ? 1 : 0;
}

bool has_title(const std::string& joined, std::string_view title) {
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = joined.find(" + ", at);
    if (std::string_view(joined).substr(at, end - at) == title) return true;
    if (end == std::string::npos) return false;
    at = end + 3;
  }
}

}  // namespace

std::int64_t minute_of(std::int32_t date, std::int32_t time) {
  return std::int64_t{date} * 1440 + (time > 0 ? (time - 1) / kTimeMinute : 0);
}

std::string guard_time_text(std::int64_t minute) {
  return minute_text(minute, '.');
}

void GuardWindows::add(std::int64_t at, std::string_view currency, char impact,
                       std::string_view title) {
  std::string t(title);
  std::replace(t.begin(), t.end(), ';', ',');  // the field separator of the file
  windows_.push_back({at - before_, at + after_, std::string(currency), impact, std::move(t)});
}

std::vector<GuardWindow> GuardWindows::merged() const {
  std::vector<GuardWindow> w = windows_;
  std::stable_sort(w.begin(), w.end(), [](const GuardWindow& a, const GuardWindow& b) {
    return std::tie(a.currency, a.start) < std::tie(b.currency, b.start);
  });
  std::vector<GuardWindow> out;
  for (GuardWindow& x : w) {
    GuardWindow* last = out.empty() ? nullptr : &out.back();
    if (last && last->currency == x.currency && x.start <= last->end) {
      last->end = std::max(last->end, x.end);
      if (rank(x.impact) > rank(last->impact)) last->impact = x.impact;
      if (!has_title(last->title, x.title)) last->title += " + " + x.title;
    } else {
      out.push_back(std::move(x));
    }
  }
  std::sort(out.begin(), out.end(), [](const GuardWindow& a, const GuardWindow& b) {
    return std::tie(a.start, a.end, a.currency) < std::tie(b.start, b.end, b.currency);
  });
  return out;
}

std::string guard_line(const GuardWindow& w) {
  return guard_time_text(w.start) + ";" + guard_time_text(w.end) + ";" + w.currency + ";" +
         std::string(1, w.impact) + ";" + w.title;
}

std::filesystem::path guard_path(const std::filesystem::path& folder, std::string_view guard_name,
                                 std::string_view news_name) {
  const std::string name = cp1252_from_utf8(guard_name);
  if (folder_part(name).empty()) return resolve(folder, folder_part(clip(news_name)) + name);
  return resolve(folder, name);
}

void GuardFile::begin(const BuildSettings& s) {
  const LiveSettings live = load_live_settings(session_.folder());
  on_ = !live.guard_file.empty();
  replaced_ = false;
  if (!on_) return;
  name_ = live.guard_file;
  file_ = guard_path(session_.folder(), live.guard_file, s.outname.view());
  filter_ = alert_filter(live, s);
  windows_ = GuardWindows(live.guard_before, live.guard_after);
}

void GuardFile::record(const CalendarRecord& r) {
  if (!on_ || is_untimed(r) || !filter_.passes(r)) return;
  const std::string_view impact = clip(r.impact.view());
  windows_.add(minute_of(r.date, r.time), clip(r.currency.view()), impact.empty() ? 'L' : impact[0],
               clip(r.descr.view()));
}

void GuardFile::end() {
  if (!on_) return;
  on_ = false;
  OutputFile out(r_, file_, name_, "Add", session_.files());
  out.keep_when_unchanged();
  if (!out.create()) return;
  for (const GuardWindow& w : windows_.merged()) out.add(guard_line(w));
  out.close();
  replaced_ = out.replaced();
}

}  // namespace mervane
