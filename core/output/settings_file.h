// The settings file "trune.INI" and the profile files: exactly 67 lines, one value per line, in a
// fixed order, without keys, headers or comments. Numbers are plain decimal integers, dates date
// serials, texts without trailing blanks. Earlier versions and the user's own tools read these
// files, so the layout never changes; settings of this program that have no line here live in
// the local settings (core/model/local_settings.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/settings.h"
#include "core/runtime/file_system.h"
#include "core/runtime/status.h"

namespace mervane {

constexpr std::string_view kSettingsFile = "trune.INI";
constexpr int kSettingsLines = 67;

// The Build window's settings as the file holds them: the G2PARMS copies (b.inpname, b.outname
// and b.outxlsname are the three file names of lines 1, 2 and 45) and "Include Non-Economic
// events as Low Impact", which has no G2PARMS field (line 64).
struct SettingsRecord {
  BuildSettings b;
  std::int16_t nonecon = 0;
  friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// The Build window's values before any settings file is read: its initial values, the default
// file names (News.CSV in the working folder) and dates (DATE1 today, output from 1 January 2006
// to 31 December 2099).
SettingsRecord built_in_defaults(std::int32_t today, const std::filesystem::path& working_folder);

// The 67 names in file order (INPNAME, OUTNAME, INCLSWAPS, DATE1, ..., NONECON, NCIOUT, NCIAUTO,
// SYMOTR).
const std::vector<std::string>& setting_names();

// The 67 lines of a record.
std::vector<std::string> settings_lines(const SettingsRecord& rec);
// Takes lines in file order into rec. Texts as read (cut to their width; SEPCHAR and DATEFMT
// with every blank removed); numbers with every blank removed, and a line that is not a whole
// number within the field's range reads as 0. Lines beyond the 67th are ignored and fewer lines
// leave the later settings as they were.
void apply_settings_lines(const std::vector<std::string>& lines, SettingsRecord& rec);

// Reads a settings or profile file into rec: 2 when it does not exist (rec unchanged).
Status read_settings_file(const std::filesystem::path& file, SettingsRecord& rec,
                          FileSystem& fs = FileSystem::local());
// Writes the 67 lines (CR LF) atomically: the previous file stays whole until the new one is.
Status write_settings_file(const std::filesystem::path& file, const SettingsRecord& rec,
                           FileSystem& fs = FileSystem::local());

// The corrections the Build window applies after loading: an export name of one character
// becomes "xloutput.csv", a separator "1" becomes ",", a date format not starting with "D", "M"
// or "Y" becomes "Y/", LOADWEEKS becomes 1, and a vertical spacing below 1 (a divisor) becomes
// the built-in 60.
void repair_after_load(SettingsRecord& rec);

// A setting by name (letter case ignored), as typed into the window or on the command line:
// whole numbers within the field's range; dates as mm/dd/yyyy, yyyy-mm-dd or a serial, from
// 1 January 1900 to 31 December 2099; texts no longer than their field (given as
// Windows-1252). 92 with a reason for an unknown name or a value that does not fit; rec is
// unchanged then. What the window's controls take besides (their pictures and choices) is
// type_setting()'s (procfile_controls.h).
Status set_setting(SettingsRecord& rec, std::string_view name, std::string_view value);
// The value as text (dates mm/dd/yyyy, 0 as "0"); empty for an unknown name.
std::string setting_value(const SettingsRecord& rec, std::string_view name);
bool is_setting_name(std::string_view name);

}  // namespace mervane
