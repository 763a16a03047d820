// The history line reader on arbitrary bytes: it never reads out of bounds, and a line it
// accepts, written again and read back, gives the same record (quotes inside fields are doubled
// on writing), its fields no wider than the record's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

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
  if (!(again == r)) std::abort();
  return 0;
}
