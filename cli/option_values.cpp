#include "cli/option_values.h"

#include "cli/context.h"
#include "core/util/charset.h"
#include "core/util/picture.h"
#include "core/util/text.h"

namespace mervane::cli {

std::int32_t date_option(std::string_view option, const std::string& typed) {
  const auto d = parse_cli_date(typed);
  if (!d) throw UsageError(std::string(option) + ": " + d.reason);
  return *d.value;
}

double picture_option(std::string_view option, std::string_view picture, const std::string& typed) {
  const auto v = parse_value(picture, typed);
  if (!v) throw UsageError(std::string(option) + ": " + v.reason);
  return *v.value;
}

std::string text_option(std::string_view option, const std::string& typed, std::size_t width) {
  const std::string t(clip(cp1252_from_utf8(typed)));
  if (t.size() > width)
    throw UsageError(std::string(option) + ": \"" + typed + "\" is longer than " +
                     std::to_string(width) + " characters");
  return t;
}

}  // namespace mervane::cli
