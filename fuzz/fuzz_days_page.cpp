// The reader of today's calendar pages on arbitrary bytes, and the bracket cutting under it.
// The first byte picks the four check boxes and an hour offset; the rest is the page. The reader
// must end, stay inside its buffers, and either refuse the page (a text, an offset inside it, no
// events) or hand on events in MT4 time within their widths, each inside the days it clears, which
// it clears once, before the first event.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/import/days_page.h"
#include "core/import/page_script.h"
#include "fuzz/event_checks.h"

namespace {

// An untimed event at 00:01 moves back a day with a negative offset, a timed one forward with a
// positive one; otherwise every event lies on the days cleared.
class CheckingSink : public mervane::fuzz::OrderedSink {
 public:
  explicit CheckingSink(int offset1) : OrderedSink(offset1<0, offset1> 0) {}

 protected:
  void cleared(std::int32_t first, std::int32_t last) override {
    if (last < first || last > first + 61) std::abort();
    OrderedSink::cleared(first, last);
  }
  void checked(const mervane::PageEvent& e) override {
    if (!e.mt4_time || e.time_text.size() != 5 || e.time_text[2] != ':') std::abort();
    for (char c : e.kxid)
      if (c < '0' || c > '9') std::abort();
    for (const std::string* t : {&e.descr, &e.currency, &e.actual, &e.forecast, &e.previous})
      for (char c : *t)
        if (static_cast<unsigned char>(c) < 0x20) std::abort();  // no line break gets through
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  mervane::PageOptions o = mervane::fuzz::options_from(data[0]);
  o.offset1 = (data[0] & 0x10) ? 23 : (data[0] & 0x20) ? -23 : 0;
  const std::string_view page(reinterpret_cast<const char*>(data) + 1, size - 1);

  // The cutting alone, from the first bracket and the first object.
  const std::size_t bracket = page.find('[');
  if (bracket != std::string_view::npos) {
    const mervane::ScriptCut cut = mervane::cut_bracketed(page, bracket);
    if (cut.problem ? cut.problem->offset > page.size()
                    : cut.begin != bracket || cut.end > page.size() || cut.end <= cut.begin)
      std::abort();
  }
  const std::size_t brace = page.find('{');
  if (brace != std::string_view::npos) {
    const mervane::ScriptCut cut = mervane::member_value(page, brace, "days");
    if (cut.problem ? cut.problem->offset > page.size()
                    : cut.begin <= brace || cut.end > page.size() || cut.end < cut.begin)
      std::abort();
    if (!cut.problem) (void)mervane::string_literal(cut.of(page));
  }

  (void)mervane::looks_like_days_page(page);
  const mervane::DaysPage read = mervane::parse_days_page(page, o);
  if (read.problem) {
    if (read.problem->text.empty() || !read.events.empty() ||
        (read.problem->offset && *read.problem->offset > page.size()))
      std::abort();
    return 0;
  }
  if (read.events.size() > read.items) std::abort();
  CheckingSink sink(o.offset1);
  mervane::store_days_page(read, sink);
  if (sink.done != 1 || sink.deletes != 1) std::abort();
  return 0;
}
