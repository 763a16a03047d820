#include "core/import/calendar_file.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "core/import/days_page.h"
#include "core/import/feed_reader.h"

namespace mervane {
namespace {

// A calendar page or feed is a few hundred kilobytes; anything this large is not one (the
// download stops there too).
constexpr std::int64_t kMaxCalendarFile = 64 << 20;
// The browser check is a short page; its title is near the start.
constexpr std::size_t kCheckHead = 8192;

bool contains_nocase(std::string_view text, std::string_view word) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  if (word.size() > text.size()) return false;
  for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < word.size() && lower(text[i + k]) == word[k]) ++k;
    if (k == word.size()) return true;
  }
  return false;
}

}  // namespace

const std::string_view kBrowserCheckAdvice =
    "the calendar service answered with its browser check (\"Just a moment...\") instead of the "
    "calendar. Open the week in a web browser, save the page into the program's folder as "
    "truneout (or anywhere, then import it), and run with the automatic calendar load off";

bool is_browser_check(std::string_view body) {
  const std::string_view head = body.substr(0, kCheckHead);
  const std::size_t title =
      head.find("<title>") != std::string_view::npos ? head.find("<title>") : head.find("<TITLE>");
  if (title == std::string_view::npos) return false;
  const std::string_view t = head.substr(title + 7, 40);
  // "Just a moment..." with three dots or an ellipsis, in any letter case.
  return contains_nocase(t, "just a moment");
}

Status read_calendar_bytes(const std::filesystem::path& file, std::string& bytes,
                           std::string_view& op) {
  op = "Open";
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return Status::from_errno(errno);
  // Read in one piece of the file's size (a file that grows meanwhile is read on in chunks).
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  bytes.resize(ec || size > static_cast<std::uintmax_t>(kMaxCalendarFile) ? 0 : size + 1);
  std::size_t have = 0, got = 0;
  bool too_large = false;
  for (;;) {
    if (have == bytes.size()) bytes.resize(bytes.size() + 65536);
    if ((got = std::fread(bytes.data() + have, 1, bytes.size() - have, f)) == 0) break;
    have += got;
    if (static_cast<std::int64_t>(have) > kMaxCalendarFile) {
      too_large = true;
      break;
    }
  }
  bytes.resize(have);
  const bool failed = std::ferror(f) != 0;
  const int err = errno;
  std::fclose(f);
  op = failed ? "Get" : "Read";
  if (failed) return Status::from_errno(err);
  if (too_large) return Status(kInvalidFile, "the file is larger than 64 MB");
  return Status::ok();
}

CalendarFileRead proc_days_page(std::string_view bytes, std::string_view name,
                                const PageOptions& options, PageSink& sink, Reporter& reporter,
                                Progress& progress, std::int64_t& count1) {
  return proc_days_page(parse_days_page(bytes, options), name, sink, reporter, progress, count1);
}

CalendarFileRead proc_days_page(const DaysPage& page, std::string_view name, PageSink& sink,
                                Reporter& reporter, Progress& progress, std::int64_t& count1) {
  if (page.problem) {
    stop(reporter, "Read", name, Status(kInvalidFile, problem_text(*page.problem)));
    return {true, {}};
  }
  count1 += static_cast<std::int64_t>(page.items);
  progress.report("COUNT1", count1);
  progress.report("CALPROC#", page.first_day);
  store_days_page(page, sink);
  return {true, page.zone};
}

CalendarFileRead read_calendar_file(const std::filesystem::path& file, std::string_view name,
                                    const PageOptions& options, PageSink& sink, Reporter& reporter,
                                    Progress& progress, std::int64_t& count1) {
  std::string bytes;
  std::string_view op;
  if (read_calendar_bytes(file, bytes, op).is_ok()) {
    if (looks_like_feed(bytes)) {
      read_feed(bytes, name, options, sink, reporter, progress, count1);
      return {};
    }
    if (looks_like_days_page(bytes))
      return proc_days_page(bytes, name, options, sink, reporter, progress, count1);
    if (is_browser_check(bytes)) {
      stop(reporter, "Read", name, Status(kInvalidFile, std::string(kBrowserCheckAdvice)));
      return {};
    }
  }
  proc_hist(file, name, options, sink, reporter, progress, count1);
  return {};
}

}  // namespace mervane
