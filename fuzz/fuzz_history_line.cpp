// The history line reader on arbitrary bytes: it never reads out of bounds, and a line it
// accepts, written again and read back, gives the same date and time and fields no wider than
// the record's (the writer's line is the reader's own format).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <type_traits>

#include "core/history/history_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  mervane::CalendarRecord r;
  if (!mervane::read_history_line(line, r)) {
    if (!(r == mervane::CalendarRecord{})) std::abort();  // a rejected line leaves r cleared
    return 0;
  }
  mervane::CalendarRecord again;
  if (!mervane::read_history_line(mervane::history_line(r), again)) std::abort();
  if (again.date != r.date || again.time != r.time) std::abort();
  // Without a double quote in any field a record comes back whole.
  bool quoted = false;
  mervane::CalendarRecord::fields(r, [&](const char*, auto& field, mervane::FieldKind) {
    if constexpr (mervane::detail::is_text<std::remove_cvref_t<decltype(field)>>::value)
      quoted = quoted || field.view().find('"') != std::string_view::npos;
  });
  if (!quoted && !(again == r)) std::abort();
  return 0;
}
