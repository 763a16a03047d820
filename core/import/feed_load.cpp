// The run's history update from the weekly feed: one download, at most one every 30 minutes.
#include <cstdio>

#include "core/import/acquisition.h"
#include "core/import/calendar_file.h"
#include "core/import/calendar_source.h"
#include "core/import/feed_reader.h"
#include "core/model/local_settings.h"
#include "core/runtime/text_file.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"

namespace mervane {
namespace {

// A clock set back (the hour of autumn) makes the last download look later than now; within
// this many minutes it still counts as recent, further back the stamp is taken as wrong.
constexpr std::int64_t kClockBackMinutes = 90;

std::int64_t minutes_of(std::int32_t date, std::int32_t time) {
  return std::int64_t{date} * 1440 + (time > 0 ? (time - 1) / kTimeMinute : 0);
}

std::string stamp_text(std::int64_t minutes) {
  return minute_text(minutes, '-');
}

std::optional<std::int64_t> read_stamp(const std::string& text) {
  long long y = 0;
  int m = 0, d = 0, hh = 0, mm = 0;
  char end = 0;
  if (std::sscanf(text.c_str(), "%lld-%d-%d %d:%d%c", &y, &m, &d, &hh, &mm, &end) != 5)
    return std::nullopt;
  const auto date = date_serial(y, m, d);
  if (!date || hh < 0 || hh > 23 || mm < 0 || mm > 59) return std::nullopt;
  return std::int64_t{*date} * 1440 + hh * 60 + mm;
}

std::string clock_text(std::int64_t minutes) {
  return stamp_text(minutes).substr(11);
}

}  // namespace

std::optional<std::int64_t> feed_loaded(const std::filesystem::path& folder) {
  return read_stamp(load_local_setting(folder, kFeedLoadedSetting));
}

void load_feed(Session& s, Reporter& r, Progress& p, Downloader& d, PageSink& history,
               const LoadRequest& request, std::int64_t& count1) {
  const std::filesystem::path& folder = s.folder();
  const std::filesystem::path page = folder / kPageFile;
  p.note(kFeedLoadweeksNote);
  if (request.fields.checkwget == 1) {
    const std::string& url = request.feed_url;
    const std::int64_t now = minutes_of(s.clock().today(), s.clock().now());
    const auto last = feed_loaded(folder);
    const bool recent =
        last && now - *last < kFeedPauseMinutes && now - *last >= -kClockBackMinutes;
    if (recent) {
      const std::string next = clock_text(*last + kFeedPauseMinutes);
      if (!file_exists(page)) {
        stop(r, "Get", url,
             Status(kFileNotFound, "the feed was downloaded at " + clock_text(*last) +
                                       ", less than 30 minutes ago, and the kept " +
                                       std::string(kPageFile) +
                                       " is gone: the next download is allowed at " + next));
        return;
      }
      p.note("The feed was downloaded at " + clock_text(*last) +
             ", less than 30 minutes ago: reading the kept " + std::string(kPageFile) +
             " (the next download is allowed at " + next + ")");
    } else {
      p.note(wget_command(url));
      d.set_user_agent(request.user_agent);
      const Status st =
          url.empty() ? Status(kBadValue, "no feed address is set (FEEDURL)") : d.fetch(url, page);
      if (stop_if_failed(r, "Get", url, download_failure(st, d).status)) return;
      stop_if_failed(r, "Create", kLocalSettingsFile,
                     save_local_setting(folder, kFeedLoadedSetting, stamp_text(now)));
    }
  }
  s.with([](Globals& g) { g.inpname = kPageFile; });
  read_into_history(folder, page, kPageFile, request.page, history, r, p, count1);
}

}  // namespace mervane
