// Option values of the commands, read as the windows' entry fields read typed text: dates as
// mm/dd/yyyy or yyyy-mm-dd, numbers and times by the field's picture, texts from UTF-8 into the
// program's Windows-1252 with the field's width. A value the field would refuse is a usage
// error naming the option.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mervane::cli {

std::int32_t date_option(std::string_view option, const std::string& typed);
double picture_option(std::string_view option, std::string_view picture, const std::string& typed);
// The Windows-1252 text; longer than width characters is refused.
std::string text_option(std::string_view option, const std::string& typed, std::size_t width);

}  // namespace mervane::cli
