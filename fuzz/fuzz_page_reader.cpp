// The calendar page reader on arbitrary bytes. The first byte picks the four check boxes, the
// rest is the page, split into lines at LF. The reader must end, stay inside its buffers, keep
// every field within its width, clear the week at most once and before the first event, report
// the end of the page exactly once, and say it had no calendar days exactly when it cleared no
// week.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/import/page_reader.h"
#include "fuzz/event_checks.h"

namespace {

class CheckingSink : public mervane::PageSink {
 public:
  int deletes = 0, done = 0;
  std::int32_t first_day = 0;

  void delete_week(std::int32_t first) override {
    if (++deletes != 1 || done) std::abort();
    first_day = first;
  }
  void store(const mervane::PageEvent& e) override {
    if (deletes != 1 || done) std::abort();
    if (e.date < first_day) std::abort();
    mervane::fuzz::check_event(e);
  }
  void page_done() override {
    if (++done != 1) std::abort();
  }
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
