// A Reporter for tests: records every message and answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/runtime/reporter.h"

namespace mervane::test {

class ScriptedReporter : public Reporter {
 public:
  std::vector<std::string> stops;   // texts of the stop messages, in order
  std::vector<Warning> warnings;    // the standard warnings shown
  std::deque<Answer> stop_answers;  // answers to stop messages; Ignore when empty
  std::deque<int> warning_answers;  // buttons pressed; the default button when empty

  Answer stop(std::string_view text) override {
    stops.emplace_back(text);
    if (stop_answers.empty()) return Answer::Ignore;
    const Answer a = stop_answers.front();
    stop_answers.pop_front();
    return a;
  }
  int warning(const Warning& w) override {
    warnings.push_back(w);
    if (warning_answers.empty()) return w.default_button;
    const int b = warning_answers.front();
    warning_answers.pop_front();
    return b;
  }
};

}  // namespace mervane::test
