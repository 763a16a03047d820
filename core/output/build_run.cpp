#include "core/output/build_run.h"

#include "core/app/open_or_create.h"
#include "core/import/calendar_address.h"
#include "core/import/event_history.h"
#include "core/model/local_settings.h"
#include "core/output/aux_lines.h"
#include "core/output/export_writer.h"
#include "core/runtime/paths.h"
#include "core/runtime/table.h"

namespace mervane {
namespace {

// Counts the events of the pages that were read whole, and passes everything on.
class CountingSink final : public PageSink {
 public:
  CountingSink(PageSink& next, std::int64_t& total) : next_(next), total_(total) {}
  void delete_week(std::int32_t first_day) override { next_.delete_week(first_day); }
  void delete_days(std::int32_t first_day, std::int32_t last_day) override {
    next_.delete_days(first_day, last_day);
  }
  void store(const PageEvent& event) override {
    ++page_;
    next_.store(event);
  }
  void page_done() override {
    next_.page_done();
    total_ += page_;
    page_ = 0;
  }
  void page_abandoned() override {
    next_.page_abandoned();
    page_ = 0;
  }

 private:
  PageSink& next_;
  std::int64_t& total_;
  std::int64_t page_ = 0;
};

// Copies the page to be read over "truneout" ("Create(truneout) - " on failure). True when
// "truneout" now holds it.
bool take_page(const std::filesystem::path& file, const std::filesystem::path& folder,
               Reporter& r) {
  const std::filesystem::path target = folder / kPageFile;
  std::error_code ec;
  if (std::filesystem::equivalent(file, target, ec)) return true;
  std::filesystem::copy_file(file, target, std::filesystem::copy_options::overwrite_existing, ec);
  return !stop_if_failed(r, "Create", kPageFile, ec ? Status::from_errno(ec.value()) : Status());
}

}  // namespace

TimeShift run_local_time(const CalendarSettings& calendar, std::int16_t offset2, Reporter& r) {
  TimeShift to_local;
  stop_if_failed(r, "Open", kLocalSettingsFile, local_shift(calendar, offset2, to_local));
  return to_local;
}

BuildRunOutcome build_run(Session& session, Reporter& r, Progress& p, Downloader& d,
                          BuildRunInput& in, std::int64_t& count1, std::int32_t& calproc) {
  BuildRunOutcome outcome;
  WindowProgress progress(p, count1, calproc);
  const std::filesystem::path& folder = session.folder();
  BuildSettings& b = in.settings.b;

  FileSystem& fs = session.files();
  Table<CalendarTable> calendar(folder, fs);
  open_calr(calendar, r);
  outcome.history_open = calendar.is_open();
  // A page to take is taken only now that the run holds the history: a run refused at the
  // history must not have replaced the saved page.
  const bool page_ready =
      in.page_file.empty() || (calendar.is_open() && take_page(in.page_file, folder, r));
  const std::string news_name = b.outname.str();
  OutputFile news(r, resolve(folder, news_name), news_name, "Add", fs);
  if (in.keep_unchanged) news.keep_when_unchanged();
  news.create();
  ExportWriter exporter(b, r, folder, fs);
  if (in.keep_unchanged) exporter.keep_when_unchanged();
  exporter.header();

  if (b.checkwget == 0) b.loadweeks = 1;
  if (in.fields.checkhist != 0 && page_ready) {
    LoadRequest request;
    request.fields = in.fields;
    request.page.nonecon = in.settings.nonecon != 0;
    request.page.incut = b.incut != 0;
    request.page.incuv = b.incuv != 0;
    request.page.cnvfmt = b.cnvfmt != 0;
    request.address = load_calendar_address(folder);
    request.feed = in.calendar.feed;
    request.feed_url = in.calendar.feed_url;
    request.week = in.calendar.week;
    request.user_agent = download_user_agent(in.calendar);
    // Zones that became unusable since they were set (a hand-edited file, another database)
    // stop the run; after Ignore the hour offset applies.
    TimeShift to_mt4;
    stop_if_failed(r, "Open", kLocalSettingsFile, mt4_shift(in.calendar, b.offset1, to_mt4));
    request.page.offset1 = b.offset1;
    stop_if_failed(r, "Open", kLocalSettingsFile,
                   page_mt4_zone(in.calendar, request.page.mt4_zone));
    EventHistory history(calendar, r, progress, count1, to_mt4);
    CountingSink counted(history, outcome.events_read);
    load_weeks(session, r, progress, d, counted, request, count1);
  }

  const TimeShift to_local = run_local_time(in.calendar, b.offset2, r);
  exporter.local_time(to_local);
  if (in.tap) in.tap->begin(b);
  out_aux(session, b, news, r, progress, count1, &to_local);
  out_news(calendar, b, NewsTargets{false, &news, &exporter, &to_local, in.tap}, session, r,
           progress, count1);
  calendar.close();
  news.close();
  if (in.tap) in.tap->end();
  exporter.footer();
  outcome.news_replaced = news.replaced();
  outcome.news_changed_lines = news.changed_lines();
  outcome.export_replaced = exporter.replaced();
  return outcome;
}

}  // namespace mervane
