// EFFECTANALYSISREPORT: how the prices of the listed currency pairs moved around each event of
// the preview table PVIEW, from the MT4 history files, into "@EffDetl.CSV" (one line per
// sampling moment, with each pair's open, its change and the bar's high and low in points) and
// "@EffSumm.CSV" (one line per event and pair, with the high and low at each offset in points
// from the open at the event's time), both in the working folder.
//
// It reads the settings G3PARMS from "EFF.INI" and the pair list and date format from the
// session's G2PARMS (the Build window copies its settings there first). Runs on the calling
// thread and returns when both files are written; the counter "COUNT" goes to the Progress as
// it changes (from 0 per event read, 1000000 + prices found, 2000000 + event lines written,
// 3000000 + summary entries, 4000000 + events summarised). GLO:OUTXLSNAME is left set to
// "Osric1.CSV".
//
// Failures: file and table failures are stop messages ("Open(PVIEW.db) - ...", "Create(",
// "Add(" + file name); Abort throws Aborted and leaves the previous output files as they were.
// A missing history file is passed over silently; a file of an unknown version, or one shorter
// than its header, is reported once by a warning naming the file and the pair, and the pair is
// passed over. Offsets without a 0 entry (no event time) give one "Get(Queue3) - " stop and a
// summary of header lines only.
#pragma once

#include <string_view>

#include "core/app/work_window.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

constexpr std::string_view kEffDetlFile = "@EffDetl.CSV";
constexpr std::string_view kEffSummFile = "@EffSumm.CSV";

void effect_analysis_report(Session& s, Reporter& r, Progress& p);

// Its progress window: the analysis runs when the window is shown, and the window closes when
// both files are written.
class EffectAnalysisReport final : public WorkWindow {
 public:
  static constexpr std::string_view kCaption = "  Effect Analysis Report";

  EffectAnalysisReport(Session& s, Reporter& r, Progress& p)
      : WorkWindow(kCaption, r, p), session_(s) {}

 protected:
  void work(Progress& p) override { effect_analysis_report(session_, reporter_, p); }

 private:
  Session& session_;
};

}  // namespace mervane
