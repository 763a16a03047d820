// The Build window's settings file and named profiles: LOAD_INI, SAVE_INI, LOAD_PFILE,
// SAVE_PFILE, DEL_PFILE and the profile list.
//
// A profile is a complete settings record under a name of up to six characters, stored as
// "#" + name + "#.INI" in the working folder, in the settings file's 67-line layout. Profile
// files are found without regard to letter case, as on Windows, where they were made.
//
// Failures to write show the stop messages "Create(" + file + ") - " + error text; a missing
// settings or profile file is not an error. Plain functions; the caller serialises them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/output/settings_file.h"
#include "core/runtime/reporter.h"
#include "core/runtime/status.h"
#include "core/util/text.h"

namespace mervane {

using ProfileName = Text<6>;

// "#" + clipped name + "#.INI".
std::string profile_file_name(std::string_view name);

// A name that can stand in a file name of the working folder: 1 to 6 characters, none of them a
// path separator, "#" (which ends the name in the file name) or a character Windows refuses in
// file names, and not "." or "..". 92 with a sentence for the user otherwise.
Status check_profile_name(std::string_view name);

// The profile file of a name in the folder: an existing file whose name matches without regard
// to letter case, else the exact name.
std::filesystem::path profile_path(const std::filesystem::path& folder, std::string_view name);

// The profile list (LOAD_IQUE): the names of the files "#*.ini" (letter case ignored) in the
// folder, each the text between the first two "#", cut to six characters, in the sorted order of
// the file names. Files without a second "#" are passed over.
std::vector<ProfileName> profile_list(const std::filesystem::path& folder);

// LOAD_INI: reads "trune.INI" into rec. A missing file leaves rec as it is; a file that exists
// but cannot be read shows "Open(trune.INI) - " + error text (a run would otherwise replace it
// with the defaults).
//
// These routines reach the files through fs, the machine's file system unless one is given.
void load_ini(const std::filesystem::path& folder, SettingsRecord& rec, Reporter& r,
              FileSystem& fs = FileSystem::local());
// SAVE_INI: writes rec into "trune.INI", atomically ("Create(trune.INI) - " on failure).
void save_ini(const std::filesystem::path& folder, const SettingsRecord& rec, Reporter& r,
              FileSystem& fs = FileSystem::local());

// LOAD_PFILE: reads the profile into rec; false, with rec unchanged, when there is none. A
// spacing below 1 is read as 60, as from the settings file.
bool load_pfile(const std::filesystem::path& folder, std::string_view name, SettingsRecord& rec,
                Reporter& r, FileSystem& fs = FileSystem::local());
// SAVE_PFILE: writes rec as the profile and, once it is saved, adds the name to the list when
// it is not there ("Create(#name#.INI) - " on failure).
void save_pfile(const std::filesystem::path& folder, std::string_view name,
                const SettingsRecord& rec, std::vector<ProfileName>& list, Reporter& r,
                FileSystem& fs = FileSystem::local());
// DEL_PFILE: removes the profile file and its list entry. A file that cannot be removed shows
// "Remove(" + file name + ") - " + error text and keeps its entry, since the profile is still
// there; one that is already gone is not a failure. True when the profile is gone.
bool del_pfile(const std::filesystem::path& folder, std::string_view name,
               std::vector<ProfileName>& list, Reporter& r, FileSystem& fs = FileSystem::local());

}  // namespace mervane
