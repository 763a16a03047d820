// A text output file of a run (News.CSV, exports, analysis and NCI files) whose failures are
// reported as stop messages: "Create(" + name + ") - " + error text when it cannot be started,
// add_op + "(" + name + ") - " when a line cannot be written (also when the lines cannot be put in
// place at the end).
//
// After a failure answered Ignore the file takes no more lines and the previous file stays as
// it was, so one fault gives one message instead of one per line, and a file is never replaced
// by half of one. Abort throws Aborted; the destructor then leaves the previous file as well.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/runtime/reporter.h"
#include "core/runtime/text_file.h"

namespace mervane {

class OutputFile {
 public:
  // name: the file's name as the messages show it; add_op: "Add" or "Append".
  OutputFile(Reporter& r, std::filesystem::path file, std::string name, std::string add_op,
             FileSystem& fs = FileSystem::local())
      : r_(r), file_(std::move(file)), name_(std::move(name)), add_op_(std::move(add_op)), w_(fs) {}

  // Starts the new file; false after a reported failure.
  bool create();
  // Adds one line (trailing blanks removed, CR LF); nothing after a failure.
  void add(std::string_view line);
  // Puts the new file in place of the old one.
  void close();
  // Drops the new file when what it should hold could not be read: the old one stays.
  void discard();
  bool failed() const { return failed_; }
  // Before create(): the file is replaced only when its contents change (TextWriter).
  void keep_when_unchanged() { w_.keep_when_unchanged(); }
  // After close(): whether the file was replaced, and the lines that changed.
  bool replaced() const { return !failed_ && w_.replaced(); }
  std::int64_t changed_lines() const { return w_.changed_lines(); }

 private:
  Reporter& r_;
  std::filesystem::path file_;
  std::string name_, add_op_;
  TextWriter w_;
  bool failed_ = false;
};

}  // namespace mervane
