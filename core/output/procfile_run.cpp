// The Build window's run and the buttons that read the Event History: Preview, Effects and the
// profile group run.

#include "core/analysis/effect_analysis_report.h"
#include "core/analysis/nci_output.h"
#include "core/app/open_or_create.h"
#include "core/history/auto_backup.h"
#include "core/history/browses.h"
#include "core/output/build_run.h"
#include "core/output/export_writer.h"
#include "core/output/news_writer.h"
#include "core/output/procfile.h"
#include "core/runtime/paths.h"
#include "core/runtime/table.h"

namespace mervane {
namespace {

bool starts_with_nocase(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() &&
         upper_ascii(name.substr(0, prefix.size())) == upper_ascii(prefix);
}

}  // namespace

TimeShift ProcFile::local_time() {
  return run_local_time(calendar_, s_.b.offset2, svc_.reporter);
}

void ProcFile::setup_g2parms() {
  publish_names();
  svc_.session.set_g2(s_.b);
}

void ProcFile::run() {
  Session& session = svc_.session;
  BuildSettings& b = s_.b;
  const bool autop = automatic();
  publish_names();

  BuildRunInput in{s_, calendar_, download_fields(), page_file_};
  if (saved_page_) {
    in.fields.checkwget = 0;
    in.fields.loadweeks = 1;
  }
  in.tap = tap_.get();
  build_run(session, svc_.reporter, svc_.progress, svc_.downloader, in, count1_, calproc_);

  const std::filesystem::path& folder = session.folder();
  savename_ = b.outname;
  save_ini(folder, s_, svc_.reporter, session.files());
  WindowProgress progress(svc_.progress, count1_, calproc_);
  auto_backup(session, svc_.reporter, progress, count1_);
  if (b.nciout > 0 && !autop) {
    setup_g2parms();  // GLO:OUTNAME back from the backup's name to News.CSV
    NciOutput output(session, svc_.reporter, svc_.progress);
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
