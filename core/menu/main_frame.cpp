#include "core/menu/main_frame.h"

#include "core/auxdata/delete_swap_out.h"
#include "core/auxdata/swap_browses.h"
#include "core/history/browses.h"
#include "core/history/delete_history.h"
#include "core/live/alerts_window.h"
#include "core/live/guard_file.h"
#include "core/live/live_settings.h"
#include "core/output/history_load_window.h"
#include "core/output/procfile.h"

namespace mervane {
namespace {

// The factories of the windows built from (session, windows, reporter), with or without the
// progress after them.
template <class M>
WindowFactory make_with_progress() {
  return [](const WindowServices& s) {
    return std::make_unique<M>(s.session, s.windows, s.reporter, s.progress);
  };
}

template <class M>
WindowFactory make_plain() {
  return
      [](const WindowServices& s) { return std::make_unique<M>(s.session, s.windows, s.reporter); };
}

}  // namespace

const std::vector<MenuItem>& file_menu() {
  static const std::vector<MenuItem> items = [] {
    std::vector<MenuItem> v;
    auto item = [&](MainControl c, const char* use, const char* text, const char* key, Procedure p,
                    WindowFactory make) {
      v.push_back({false, c, use, text, key, key, "", true, p, std::move(make)});
    };
    auto separator = [&] {
      MenuItem m;
      m.separator = true;
      v.push_back(m);
    };
    item(MainControl::FILEPROCESS, "?FILEPROCESS", "Build News.CSV", "F5", Procedure::ProcFile,
         [](const WindowServices& s) {
           auto w = std::make_unique<ProcFile>(s);
           w->set_run_tap(std::make_shared<GuardFile>(s.session, s.reporter));
           return w;
         });
    v.push_back({false, MainControl::FILEKEEPCURRENT, "?FILEKEEPCURRENT", "&Keep this week current",
                 "", "", "",
                 false, {}, {}, true});
    item(MainControl::FILEALERTS, "?FILEALERTS", "A&lerts", "", Procedure::Alerts,
         [](const WindowServices& s) { return std::make_unique<AlertsWindow>(s.session, s.reporter); });
    separator();
    item(MainControl::FILEBROWSEHISTORY, "?FILEBROWSEHISTORY", "&Modify News Event History", "F9",
         Procedure::BrowseHistoryByName, make_plain<BrowseHistoryByName>());
    item(MainControl::FILEDELETEHISTORY, "?FILEDELETEHISTORY", "&Delete/Rebuild News Event History",
         "Alt+F9", Procedure::DeleteHistory, make_with_progress<DeleteHistory>());
    item(MainControl::FILELOADHISTORY, "?FILELOADHISTORY", "Load calendar &history...", "",
         Procedure::LoadHistory,
         [](const WindowServices& s) { return std::make_unique<LoadHistoryWindow>(s); });
    separator();
    item(MainControl::FILEMODIFYSWAPDATA, "?FILEMODIFYSWAPDATA", "Modify &Auxiliary output data",
         "F8", Procedure::BrowseSwapOut, make_with_progress<BrowseSwapOut>());
    item(MainControl::FILEDELETEAUXDATA, "?FILEDELETEAUXDATA", "Delete Auxiliary output data",
         "Alt+F8", Procedure::DeleteSwapOut, make_with_progress<DeleteSwapOut>());
    separator();
    item(MainControl::FILEEDITSPREADCOLLECTSETTINGS, "?FILEEDITSPREADCOLLECTSETTINGS",
         "Edit Swap Rates / Spread Collect Settings", "F3", Procedure::BrowseSwapRate,
         make_with_progress<BrowseSwapRate>());
    separator();
    v.push_back({false,
                 MainControl::EXIT,
                 "?EXIT",
                 "E&xit",
                 "",
                 "Alt-F4",
                 "Exit this application",
                 false,
                 {},
                 {}});
    return v;
  }();
  return items;
}

WindowFactory procedure_factory(Procedure p) {
  for (const MenuItem& m : file_menu())
    if (m.starts && m.procedure == p) return m.make;
  return nullptr;
}

void Main::open() {
  local_request_ = original_request_ = static_cast<std::int32_t>(session_.take_request().request);
  session_.set_response(0);
  local_response_ = static_cast<int>(Response::Cancelled);
  keep_current_ = load_live_settings(session_.folder()).keep_current;
  starter_.start(Procedure::ProcFile);
}

bool Main::accepted(MainControl c) {
  if (closing_) return true;
  for (const MenuItem& m : file_menu()) {
    if (m.separator || m.control != c) continue;
    if (m.starts) starter_.start(m.procedure);
    if (m.checkable) {
      keep_current_ = !keep_current_;
      remembered_ = save_live_setting(session_.folder(), kKeepCurrentSetting,
                                      keep_current_ ? "1" : "0");
    }
    if (c == MainControl::EXIT) closing_ = true;
  }
  return closing_;
}

void Main::close() {
  closing_ = true;
  session_.set_response(local_response_ != 0 ? local_response_
                                             : static_cast<int>(Response::Cancelled));
}

}  // namespace mervane
