// Where the MT4 terminals are installed: the machine's "Program Files" folder (see
// machine_program_files()), unless a user with another layout sets PROGRAMFILES in the local
// settings (mervane.cfg) to the folder that holds the broker folders.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mervane {

constexpr std::string_view kProgramFilesSetting = "PROGRAMFILES";

// The folder that holds the broker's MT4 folders.
std::filesystem::path program_files_root(const std::filesystem::path& working_folder);

// The folders to list for the Initial setup: the root, and beside it "Program Files (x86)"
// where it exists (32-bit terminals on a 64-bit Windows or Wine prefix).
std::vector<std::filesystem::path> program_files_folders(
    const std::filesystem::path& working_folder);

// The News.CSV path of a broker's MT4 folder on this machine, as a setting text
// (<root>\<folder>\experts\files\news.csv with the machine's separators).
std::string news_csv_path_for(const std::filesystem::path& working_folder,
                              std::string_view mt4_folder);

}  // namespace mervane
