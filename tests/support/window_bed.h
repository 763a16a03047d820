// What a test of a window model needs around it: a folder of its own, a fixed clock (today
// Wednesday 11 March 2009, 00:00), the session, stubbed windows, a scripted reporter and no
// progress display. Test fixtures derive from it beside ::testing::Test.
#pragma once

#include "core/model/session.h"
#include "core/runtime/clock.h"
#include "core/runtime/progress.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/stub_windows.h"
#include "tests/support/temp_dir.h"

namespace mervane::test {

struct WindowBed {
  TempDir dir;
  FixedClock clock{76044, 1};  // 11 March 2009
  Session session{dir.path(), clock};
  StubWindows windows{session};
  ScriptedReporter reporter;
  NoProgress progress;
};

}  // namespace mervane::test
