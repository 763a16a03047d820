// The export of the selected events ("news only") beside News.CSV: XML elements one per line
// (kind 2), tab-separated (3) or character-separated (4) lines, or fixed-width columns under two
// header lines (5). Kind 1 (and below) writes no file; a kind above 5 writes an empty file.
//
// The columns that are on are always written in the same order (Date, Time, Currency,
// Description, Impact, Actual, Forecast, Previous, Revised from, KX ID; XML puts the KX ID
// first), the KX ID only with calendar format 2. Values are written as stored, nothing escaped
// or quoted beyond the chosen quote character, so the indicators and spreadsheets that read
// these files see exactly the calendar's texts.
//
// An export path starting with "*" names a file in the folder of News.CSV. The file is written
// atomically, so a reader never sees half of it. One writer serves one export of one run; used by
// one thread.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/model/records.h"
#include "core/model/settings.h"
#include "core/runtime/output_file.h"
#include "core/runtime/reporter.h"
#include "core/runtime/time_zones.h"

namespace mervane {

// The file an export name stands for: "*" + rest is the rest in the folder of news_name (the
// working folder when that has no folder part).
std::string export_file_name(std::string_view export_name, std::string_view news_name);

// A value reduced to its number ("Numbers only"): at most 14 significant digits, written without
// exponent, trailing zeros or trailing point, with a "0" before the point of a value below 1
// ("0.5", "-0.25"); "0" for an empty or non-numeric text.
std::string numbers_only_text(std::string_view value);

class ExportWriter {
 public:
  // s: the run's settings (XOUT, SEPCHAR, DATEFMT, the column flags, CLDRFMT, NUMONLY, OFF2EXP,
  // OFFSET2, OUTXLSNAME, OUTNAME); folder: the working folder, for names without a folder; fs:
  // where the file is written.
  ExportWriter(const BuildSettings& s, Reporter& r, std::filesystem::path folder,
               FileSystem& fs = FileSystem::local());
  ~ExportWriter();

  // OUT_EXP_HDR: creates the file (kinds 2 and up) and writes its header.
  void header();
  // One event that passed the filters, in MT4 time; with OFF2EXP it is written in local time.
  void event(const CalendarRecord& r);
  // Local time by the zones of LOCALZONE instead of OFFSET2 hours.
  void local_time(const TimeShift& to_local) { to_local_ = to_local; }
  // OUT_EXP_FTR: writes the trailer and puts the file in place.
  void footer();

  bool writing() const { return file_ && !file_->failed(); }
  // Before header(): the file is replaced only when its contents change.
  void keep_when_unchanged() { keep_unchanged_ = true; }
  // After footer(): whether the file was replaced.
  bool replaced() const { return replaced_; }
  // The name of the export file after the "*" rule (empty for kind 1).
  const std::string& file_name() const { return name_; }

 private:
  void line_delimited(const CalendarRecord& r, const std::string& date, const std::string& time);
  void line_xml(const CalendarRecord& r, const std::string& date, const std::string& time);
  void line_columns(const CalendarRecord& r, const std::string& date, const std::string& time);
  std::string value(std::string_view stored) const;

  BuildSettings s_;
  std::optional<TimeShift> to_local_;
  Reporter* r_;
  std::filesystem::path folder_;
  FileSystem* fs_;
  std::string name_;
  std::unique_ptr<OutputFile> file_;
  std::string line_;  // reused for every event
  bool keep_unchanged_ = false;
  bool replaced_ = false;
};

}  // namespace mervane
