// A text output of the Build run (News.CSV, the export) with its stop messages.
//
// The file is written to a temporary file and put in place of the target only by close(), so
// the MT4 indicator never reads half a file and a run that fails or is aborted keeps the
// previous file. Failures show the stop message ("Create(" / "Add(" / "Close(" + name + ") - "
// + error text); Abort throws Aborted from the call, Ignore carries on. After Ignore, a file that
// could not be created takes no lines, and of the lines that fail to be added only the first is
// reported: one message per file, not one per line. A file with a failed line is not put in
// place of the target.
//
// Used by one thread at a time. Destroying an open file drops it and keeps the old target.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/runtime/reporter.h"
#include "core/runtime/text_file.h"

namespace mervane {

class OutputFile {
 public:
  // name is the file's name as the settings give it (Windows-1252), for the messages.
  OutputFile(Reporter& r, std::string name, std::filesystem::path target)
      : r_(&r), name_(std::move(name)), target_(std::move(target)) {}

  // Starts the new file; false after a failure (the stop message was shown and ignored).
  bool create();
  // Adds one line: trailing blanks are dropped and CR LF is appended.
  void add(std::string_view line);
  // Puts the file in place of the target. Nothing happens when it was never created.
  void close();

  bool is_open() const { return w_.is_open(); }
  const std::string& name() const { return name_; }

 private:
  Reporter* r_;
  std::string name_;
  std::filesystem::path target_;
  TextWriter w_;
  bool failed_ = false;
};

}  // namespace mervane
