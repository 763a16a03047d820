// The Windows of window model tests: records every window run (by its title) and every window
// of the menu started, and plays each window run as the test says. A window opens as in the
// program; then the test's play for its type runs (on<M>()), else the date picker picks from
// `picks` (driving the sheet as a user does), the Initial setup answers with parm1-parm3, and
// any other window is left as its close box leaves it. A window a play leaves open is closed
// that way too, except one that refuses it (a progress window, whose work the stub never runs).
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/windows.h"
#include "core/model/session.h"
#include "core/setup/calendar.h"
#include "core/setup/initial_setup.h"
#include "core/util/dates.h"

namespace mervane::test {

class StubWindows : public Windows {
 public:
  // The session the windows run in.
  explicit StubWindows(Session& s) : session_(s) {}

  // Every window run, by its title as it opened, in order; every window of the menu started.
  std::vector<std::string> calls;
  std::vector<Procedure> started;
  // Dates the picker picks, in order; when they are used up it picks `picked`, and with that 0
  // the user cancels.
  std::deque<std::int32_t> picks;
  std::int32_t picked = 0;
  // What the picker was opened with: GLO:CDATE and GLO:CMASK of each call.
  std::vector<std::int32_t> picker_dates;
  std::vector<std::string> picker_masks;
  // The Initial setup's answers; a blank folder is Cancel.
  std::int16_t parm1 = 0, parm2 = 0;
  std::string parm3;
  // The settings and GLO:OUTNAME the last window run found in the session.
  BuildSettings g2_seen;
  std::string outname_seen;

  // Plays every window of type M that is run, once it is open.
  template <class M>
  void on(std::function<void(M&)> play) {
    plays_.insert(plays_.begin(), [play](WindowModel& w) {
      M* m = dynamic_cast<M*>(&w);
      if (m) play(*m);
      return m != nullptr;
    });
  }
  // How often a window of this title was run.
  int runs(std::string_view title) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), title));
  }
  int started_count(Procedure p) const {
    return static_cast<int>(std::count(started.begin(), started.end(), p));
  }

  Response run(WindowModel& w) override {
    calls.push_back(w.title());
    g2_seen = session_.g2();
    outname_seen = session_.globals().outname.str();
    w.open();
    if (w.closed()) return w.response();
    if (std::none_of(plays_.begin(), plays_.end(), [&](const auto& p) { return p(w); })) {
      if (auto* picker = dynamic_cast<Calendar*>(&w)) pick(*picker);
      if (dynamic_cast<InitialSetup*>(&w)) answer_setup(w);
    }
    if (!w.closed()) w.close_request();
    return w.response();
  }
  void start(Procedure p) override { started.push_back(p); }
  // The files a file dialog chooses: each call takes the next list (none when used up).
  std::deque<std::vector<std::filesystem::path>> chosen_files;
  std::vector<std::filesystem::path> choose_files(std::string_view, std::string_view) override {
    if (chosen_files.empty()) return {};
    std::vector<std::filesystem::path> files = std::move(chosen_files.front());
    chosen_files.pop_front();
    return files;
  }

 private:
  void pick(Calendar& c) {
    const Globals g = session_.globals();
    picker_dates.push_back(g.cdate);
    picker_masks.push_back(g.cmask.str());
    std::int32_t date = picked;
    if (!picks.empty()) {
      date = picks.front();
      picks.pop_front();
    }
    if (date == 0) return;
    // To the month as the arrows take the user there, then the day's button.
    const Ymd want = ymd_of(date);
    using C = CalendarControl;
    while (c.year() < want.year) c.accepted(number(C::BNY));
    while (c.year() > want.year) c.accepted(number(C::BLY));
    while (c.month() < want.month) c.accepted(number(C::BNM));
    while (c.month() > want.month) c.accepted(number(C::BLM));
    for (int i = 0; i < 42; ++i) {
      const std::string& text = c.day_text(i);
      if (text.find_first_not_of(' ') != std::string::npos && std::stoi(text) == want.day) {
        c.accepted(day_button(i / 7 + 1, i % 7 + 1));
        return;
      }
    }
  }

  // Cancel, then the answers as if the user had filled them in and pressed OK.
  void answer_setup(WindowModel& w) {
    w.close_request();
    if (parm3.empty()) return;
    session_.with([&](Globals& g) {
      g.parm1 = parm1;
      g.parm2 = parm2;
      g.parm3 = parm3;
    });
  }

  Session& session_;
  std::vector<std::function<bool(WindowModel&)>> plays_;
};

}  // namespace mervane::test
