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
    if (e.time_text.size() > 20 || e.currency.size() > 20 || e.descr.size() > 60 ||
        e.actual.size() > 20 || e.forecast.size() > 20 || e.previous.size() > 20 ||
        e.revisedfrom.size() > 20 || e.kxid.size() > 6)
      std::abort();
    if (e.impact != 'L' && e.impact != 'M' && e.impact != 'H') std::abort();
    if (e.color != '1' + (e.impact == 'M') + 2 * (e.impact == 'H')) std::abort();
  }
  void page_done() override {
    if (++done != 1) std::abort();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  mervane::PageOptions o;
  o.nonecon = data[0] & 1;
  o.incut = data[0] & 2;
  o.incuv = data[0] & 4;
  o.cnvfmt = data[0] & 8;
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
