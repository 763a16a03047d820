// NCIOUTPUT: keeps the NCI files NCI1.CSV ... NCI<n>.CSV (n = G2:NCIOUT) in the folder of
// News.CSV (GLO:OUTNAME). Each lists every event of the Event History, newest first, with a
// value per event in its first column: typed in by the user, which is kept from run to run, or
// with "Auto" (G2:NCIAUTO) scored from the event's figures; "??" marks an event still without
// one.
//
// Per file: the working table NCIDB is made anew and takes in the file's lines, the history is
// merged into it (by KX ID; events without a KX ID by date, time, currency and description),
// and the file is written again from the table. Runs on the calling thread; the counter "COUNT"
// (every line read, event merged and line written, over all files) goes to the Progress.
// GLO:OUTXLSNAME is left set to the last file's name.
//
// Failures are stop messages ("Create(NCIDB.db) - ...", "Open(", "Append(", "Build(", "Put(",
// "Get(" + name); Abort throws Aborted. A missing NCI file counts as empty. When a file's old
// lines could not all be taken in, that file is left as it was rather than written without the
// values they hold; a file is always replaced whole.
#pragma once

#include <string>
#include <string_view>

#include "core/app/work_window.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

// The name of NCI file k: the folder part of the News.CSV name, "NCI", k, ".CSV".
std::string nci_file_name(std::string_view outname, int k);

void nci_output(Session& s, Reporter& r, Progress& p);

// Its progress window: the files are merged when the window is shown, and the window closes
// when the last one is written.
class NciOutput final : public WorkWindow {
 public:
  static constexpr std::string_view kCaption = "  NCI output";

  NciOutput(Session& s, Reporter& r, Progress& p) : WorkWindow(kCaption, r, p), session_(s) {}

 protected:
  void work(Progress& p) override { nci_output(session_, reporter_, p); }

 private:
  Session& session_;
};

}  // namespace mervane
