// The calendar page reader on arbitrary bytes. The first byte picks the four check boxes, the
// rest is the page, split into lines at LF. The reader must end, stay inside its buffers, keep
// every field within its width, clear the week at most once and before the first event, report
// the end of the page exactly once, and say it had no calendar days exactly when it cleared no
// week.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "core/import/page_reader.h"
#include "fuzz/event_checks.h"

namespace {

// The week's events lie on or after its first day; the hour offset may carry them past it.
class CheckingSink : public mervane::fuzz::OrderedSink {
 public:
  CheckingSink() : OrderedSink(0, std::numeric_limits<std::int32_t>::max()) {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  mervane::PageOptions o = mervane::fuzz::options_from(data[0]);
  o.request_date = 75250 + (data[0] >> 4) * 200;
  std::string_view page(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckingSink sink;
  mervane::PageEnd how;
  {
    mervane::PageReader reader(o, sink);
    while (!page.empty()) {
      const std::size_t nl = page.find('\n');
      reader.line(page.substr(0, nl));
      page.remove_prefix(nl == std::string_view::npos ? page.size() : nl + 1);
    }
    how = reader.end();
  }
  if (sink.done != 1) std::abort();
  if ((how == mervane::PageEnd::NoDays) != (sink.deletes == 0)) std::abort();
  return 0;
}
