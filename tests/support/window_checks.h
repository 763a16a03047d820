// Checks of a window as its user sees it, shared by the window tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/app/window_model.h"
#include "tests/support/scripted_reporter.h"

namespace mervane::test {

// Types text into a control and checks that the window refused it: the window stays, the
// control shows what it showed before, and one warning captioned with the window's title says
// why.
inline void expect_refused(WindowModel& m, ScriptedReporter& r, int control,
                           const std::string& typed) {
  SCOPED_TRACE("typed '" + typed + "' into control " + std::to_string(control));
  const std::string before = m.value(control);
  r.warnings.clear();
  EXPECT_EQ(m.type(control, typed), Reply::stay());
  EXPECT_EQ(m.value(control), before);
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_EQ(r.warnings[0].caption, m.title());
  EXPECT_EQ(r.warnings[0].icon, Icon::Exclamation);
  EXPECT_FALSE(r.warnings[0].text.empty());
}

}  // namespace mervane::test
