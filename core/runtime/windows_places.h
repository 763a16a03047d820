// Where Windows programs keep their files on this machine: on Windows the machine itself; on
// Linux and macOS every Wine prefix, each a Windows of its own (its drive C, its users'
// application data, its Program Files folders). This is the one place that knows where Wine and
// its front ends (Bottles, PlayOnLinux, CrossOver, the MetaTrader packages for macOS) keep their
// prefixes and how a Windows path maps onto the prefix's folders; the layers above look into the
// WindowsSystems it finds the same way on every machine.
//
// Finding looks at a fixed list of places and one level of folders below some of them, never
// walks a tree: a link loop or a folder without permission shows as a note on that place. The
// functions read the file system only; they may be called from any thread.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mervane {

enum class HostKind { Windows, Linux, MacOS };

// The system this program was built for.
HostKind this_host();

// What finding depends on from the process's environment, so that tests can make a machine of
// their own (a temporary HOME, no WINEPREFIX). Empty texts are unset variables.
struct HostEnvironment {
  HostKind host = this_host();
  std::string home;        // HOME (Windows: USERPROFILE)
  std::string wineprefix;  // WINEPREFIX
  std::string appdata;     // Windows: APPDATA, the user's roaming application data
  std::string program_files, program_files_x86;  // Windows: ProgramFiles, ProgramFiles(x86)

  static HostEnvironment current();
};

// A place looked at, and what was seen there ("a Wine prefix", "not there", "no permission to
// read it", "a loop of symbolic links", ...).
struct PlaceNote {
  std::filesystem::path path;
  std::string note;
};

// One Windows: the machine's own (prefix empty) or a Wine prefix.
struct WindowsSystem {
  std::filesystem::path prefix;
  std::filesystem::path drive_c;                     // where C:\ is
  std::vector<std::filesystem::path> app_data;       // each user's roaming application data
  std::vector<std::filesystem::path> program_files;  // "Program Files", "Program Files (x86)"

  // The local path of an absolute Windows path ("C:\Program Files\Broker MT4"), each name
  // matched without regard to letter case as Windows does; names not found stand as written.
  // Under Wine the drive is reached through the prefix's dosdevices (C: is drive_c). Nothing for
  // a path that is not absolute on a drive, or whose drive this Windows does not have.
  std::optional<std::filesystem::path> local_path(std::string_view windows_path) const;
  // The Windows path of a local path on drive C ("C:\Program Files\Broker MT4"); nothing for a
  // path outside it.
  std::optional<std::string> windows_path(const std::filesystem::path& local) const;
};

struct WindowsSystems {
  std::vector<WindowsSystem> systems;  // each prefix once, however many ways lead to it
  std::vector<PlaceNote> looked_in;    // every place looked at, in order
};

// Wine: $WINEPREFIX, ~/.wine, the folders in ~/.local/share/wineprefixes, the bottles of
// Bottles (Flatpak and native), PlayOnLinux's prefixes, CrossOver's bottles; on macOS also the
// prefixes of MetaQuotes' MetaTrader packages and their bottles. A place is a prefix when it
// holds drive_c. Windows: the machine, with %APPDATA% and %ProgramFiles%.
WindowsSystems find_windows_systems(const HostEnvironment& env);

// The machine's "Program Files" folder, where the Initial setup lists MT4 terminals:
// %ProgramFiles% on Windows ("C:\Program Files" when that is unset); elsewhere the one of the
// Wine prefix programs run in by default: $WINEPREFIX, else ~/.wine, else ".wine" of the
// current folder.
std::filesystem::path machine_program_files(
    const HostEnvironment& env = HostEnvironment::current());

}  // namespace mervane
