// The calendar service's address (scheme and host, as https://calendar.example): a user setting
// with no default, kept in a small file of its own beside the settings file so that the settings
// file keeps its exact layout: the setting CALENDARURL of the local settings
// (core/model/local_settings.h).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/runtime/status.h"

namespace mervane {

constexpr std::string_view kCalendarAddressSetting = "CALENDARURL";

// The address stored in the folder; empty when none was set.
std::string load_calendar_address(const std::filesystem::path& folder);
// Stores an address after checking it (http or https, a host, an optional port, no path, query,
// fragment or user name; a single trailing "/" is dropped, the scheme is stored in lower case):
// 92 with a reason otherwise.
Status save_calendar_address(const std::filesystem::path& folder, const std::string& address);
// Checks the address of the weekly feed: http or https, a host, an optional port, then any path
// and query (no blanks); the scheme comes back in lower case. 92 with a reason otherwise.
Status check_feed_url(const std::string& url, std::string& normalised);

}  // namespace mervane
