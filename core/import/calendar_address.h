// The calendar service's address (scheme and host, as https://calendar.example): a user setting
// with no default, kept in a small file of its own beside the settings file so that the settings
// file keeps its exact layout.
//
// (Interface fixed for the Build run; the implementation lands with the calendar import.)
#pragma once

#include <filesystem>
#include <string>

#include "core/runtime/status.h"

namespace mervane {

// The address stored in the folder; empty when none was set.
std::string load_calendar_address(const std::filesystem::path& folder);
// Stores an address after checking it (http or https, a host, no path or query): 92 with a
// reason otherwise.
Status save_calendar_address(const std::filesystem::path& folder, const std::string& address);

}  // namespace mervane
