// The Build window's run and the buttons that read the Event History: Preview, Effects and the
// profile group run.

#include "core/analysis/effect_analysis_report.h"
#include "core/analysis/nci_output.h"
#include "core/app/open_or_create.h"
#include "core/history/auto_backup.h"
#include "core/history/browses.h"
#include "core/import/calendar_address.h"
#include "core/import/event_history.h"
#include "core/model/local_settings.h"
#include "core/output/aux_lines.h"
#include "core/output/export_writer.h"
#include "core/output/news_writer.h"
#include "core/output/procfile.h"
#include "core/runtime/paths.h"
#include "core/runtime/table.h"

namespace mervane {
namespace {

// Keeps the window's COUNT1 and CALPROC# displays in step with what the steps report, and
// passes every report on.
class WindowProgress final : public Progress {
 public:
  WindowProgress(Progress& next, std::int64_t& count1, std::int32_t& calproc)
      : next_(next), count1_(count1), calproc_(calproc) {}
  void report(std::string_view counter, std::int64_t value) override {
    if (counter == "COUNT1") count1_ = value;
    if (counter == "CALPROC#") calproc_ = static_cast<std::int32_t>(value);
    next_.report(counter, value);
  }
  void note(std::string_view text) override { next_.note(text); }

 private:
  Progress& next_;
  std::int64_t& count1_;
  std::int32_t& calproc_;
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

bool starts_with_nocase(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() &&
         upper_ascii(name.substr(0, prefix.size())) == upper_ascii(prefix);
}

}  // namespace

// Local time for the labels and exports: the zones of LOCALZONE and MT4ZONE, or OFFSET2 hours
// (also after Ignore at zones that are no longer usable).
TimeShift ProcFile::local_time() {
  TimeShift to_local;
  stop_if_failed(svc_.reporter, "Open", kLocalSettingsFile,
                 local_shift(calendar_, s_.b.offset2, to_local));
  return to_local;
}

void ProcFile::setup_g2parms() {
  publish_names();
  svc_.session.set_g2(s_.b);
}

void ProcFile::run() {
  Session& session = svc_.session;
  Reporter& r = svc_.reporter;
  WindowProgress progress(svc_.progress, count1_, calproc_);
  const std::filesystem::path& folder = session.folder();
  BuildSettings& b = s_.b;
  const bool autop = automatic();
  publish_names();

  FileSystem& fs = session.files();
  Table<CalendarTable> calendar(folder, fs);
  open_calr(calendar, r);
  // A page to take is taken only now that the run holds the history: a run refused at the
  // history must not have replaced the saved page.
  const bool page_ready =
      page_file_.empty() || (calendar.is_open() && take_page(page_file_, folder, r));
  const std::string news_name = b.outname.str();
  OutputFile news(r, resolve(folder, news_name), news_name, "Add", fs);
  news.create();
  ExportWriter exporter(b, r, folder, fs);
  exporter.header();

  if (b.checkwget == 0) b.loadweeks = 1;
  if (b.checkhist != 0 && page_ready) {
    LoadRequest request;
    request.fields = download_fields();
    if (saved_page_) {
      request.fields.checkwget = 0;
      request.fields.loadweeks = 1;
    }
    request.page.nonecon = s_.nonecon != 0;
    request.page.incut = b.incut != 0;
    request.page.incuv = b.incuv != 0;
    request.page.cnvfmt = b.cnvfmt != 0;
    request.address = load_calendar_address(folder);
    request.feed = calendar_.feed;
    request.feed_url = calendar_.feed_url;
    request.week = calendar_.week;
    request.user_agent = download_user_agent(calendar_);
    // Zones that became unusable since they were set (a hand-edited file, another database)
    // stop the run; after Ignore the hour offset applies.
    TimeShift to_mt4;
    stop_if_failed(r, "Open", kLocalSettingsFile, mt4_shift(calendar_, b.offset1, to_mt4));
    request.page.offset1 = b.offset1;
    stop_if_failed(r, "Open", kLocalSettingsFile, page_mt4_zone(calendar_, request.page.mt4_zone));
    EventHistory history(calendar, r, progress, count1_, to_mt4);
    load_weeks(session, r, progress, svc_.downloader, history, request, count1_);
  }

  const TimeShift to_local = local_time();
  exporter.local_time(to_local);
  out_aux(session, b, news, r, progress, count1_, &to_local);
  out_news(calendar, b, NewsTargets{false, &news, &exporter, &to_local}, session, r, progress,
           count1_);
  calendar.close();
  news.close();
  exporter.footer();

  savename_ = b.outname;
  save_ini(folder, s_, r, fs);
  auto_backup(session, r, progress, count1_);
  if (b.nciout > 0 && !autop) {
    setup_g2parms();  // GLO:OUTNAME back from the backup's name to News.CSV
    NciOutput output(session, r, svc_.progress);
    svc_.windows.run(output);
  }
  ends_program_ = autop;
  if (b.checkhist != 0 && !autop) svc_.windows.start(Procedure::BrowseHistoryByName);
}

// Preview and Effects: PVIEW filled from the history (still open, as both windows expect),
// then the preview browse or, with the settings published, the effects analysis.
void ProcFile::preview_then(bool effects) {
  WindowProgress progress(svc_.progress, count1_, calproc_);
  Table<CalendarTable> calendar(svc_.session.folder(), svc_.session.files());
  open_calr(calendar, svc_.reporter);
  out_news(calendar, s_.b, NewsTargets{true, nullptr, nullptr}, svc_.session, svc_.reporter,
           progress, count1_);
  if (effects) {
    setup_g2parms();
    EffectAnalysisReport report(svc_.session, svc_.reporter, svc_.progress);
    svc_.windows.run(report);
  } else {
    BrowsePview preview(svc_.session, svc_.windows, svc_.reporter);
    svc_.windows.run(preview);
  }
  calendar.close();
}

void ProcFile::preview() {
  preview_then(false);
}

void ProcFile::exec_prof_grp() {
  // "EU*" selects the profiles whose names start with EU (letter case ignored, as the profile
  // files themselves are found); without the star every profile runs.
  std::string prefix;
  if (pfilename_.length() > 0 && pfilename_.view().back() == '*')
    prefix = std::string(pfilename_.view().substr(0, pfilename_.length() - 1));
  const std::filesystem::path& folder = svc_.session.folder();
  WindowProgress progress(svc_.progress, count1_, calproc_);
  FileSystem& fs = svc_.session.files();
  Table<CalendarTable> calendar(folder, fs);
  open_calr(calendar, svc_.reporter);
  profiles_ = profile_list(folder);
  const std::vector<ProfileName> list = profiles_;
  for (const ProfileName& name : list) {
    pfilename_ = name;
    profilename_ = name;
    if (!starts_with_nocase(name.view(), prefix)) continue;
    // A profile that vanished since the list was read is passed over rather than exported
    // again with the previous profile's settings.
    if (!load_pfile(folder, name.view(), s_, svc_.reporter, fs)) continue;
    progress.note("Profile " + name.str());
    ExportWriter exporter(s_.b, svc_.reporter, folder, fs);
    exporter.local_time(local_time());
    exporter.header();
    out_news(calendar, s_.b, NewsTargets{false, nullptr, &exporter}, svc_.session, svc_.reporter,
             progress, count1_);
    exporter.footer();
  }
  calendar.close();
}

}  // namespace mervane
