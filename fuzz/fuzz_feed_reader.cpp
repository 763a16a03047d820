// The weekly feed reader on arbitrary bytes. The first byte picks the four check boxes, the rest
// is the feed. The reader must end, stay inside its buffers, and either name a line of the feed
// with a problem (and hand nothing on) or hand on events within their widths, all inside the
// days it clears, which it clears once, before the first event. The content test must end too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/import/feed_reader.h"
#include "core/util/dates.h"
#include "fuzz/event_checks.h"

namespace {

class CheckingSink : public mervane::fuzz::OrderedSink {
 public:
  CheckingSink() : OrderedSink(0, 0) {}

 protected:
  void cleared(std::int32_t first, std::int32_t last) override {
    if (last < first + 6 || last > first + 62 || mervane::weekday_of(first) != 0) std::abort();
    OrderedSink::cleared(first, last);
  }
  void checked(const mervane::PageEvent& e) override {
    if (!e.actual.empty() || !e.revisedfrom.empty() || !e.kxid.empty()) std::abort();
    for (const std::string* t : {&e.descr, &e.currency, &e.forecast, &e.previous})
      for (char c : *t)
        if (static_cast<unsigned char>(c) < 0x20) std::abort();  // no line break gets through
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const mervane::PageOptions o = mervane::fuzz::options_from(data[0]);
  const std::string_view feed(reinterpret_cast<const char*>(data) + 1, size - 1);
  (void)mervane::looks_like_feed(feed);
  const mervane::FeedWeek week = mervane::parse_feed(feed, o);
  if (week.problem) {
    if (week.problem->line < 1 || week.problem->text.empty() || !week.events.empty()) std::abort();
    return 0;
  }
  CheckingSink sink;
  mervane::store_feed(week, sink);
  if (sink.done != 1 || sink.deletes != (week.dated ? 1 : 0)) std::abort();
  return 0;
}
