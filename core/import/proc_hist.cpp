// PROC_HIST, the reading half: the page file through a PageReader.
#include <string>

#include "core/import/page_reader.h"
#include "core/runtime/text_file.h"
#include "core/util/charset.h"

namespace mervane {
namespace {

bool is_ascii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Passes the page's week and events on, but holds its end back until the page is known to be
// whole.
class HeldEnd final : public PageSink {
 public:
  explicit HeldEnd(PageSink& next) : next_(next) {}
  void delete_week(std::int32_t first_day) override { next_.delete_week(first_day); }
  void store(const PageEvent& event) override { next_.store(event); }

 private:
  PageSink& next_;
};

}  // namespace

void proc_hist(const std::filesystem::path& file, const PageOptions& options, PageSink& sink,
               Reporter& reporter, Progress& progress, std::int64_t& count1) {
  proc_hist(file, file.string(), options, sink, reporter, progress, count1);
}

void proc_hist(const std::filesystem::path& file, std::string_view name, const PageOptions& options,
               PageSink& sink, Reporter& reporter, Progress& progress, std::int64_t& count1) {
  TextReader in;
  if (stop_if_failed(reporter, "Open", name, in.open(file))) return;

  // Whether the page is UTF-8 is known only after its last line, so the page is read twice: a
  // line end never falls inside a UTF-8 sequence, so the page is valid when every line is.
  std::string line;
  bool ascii = true, utf8 = true;
  Status st;
  while ((st = in.next(line)).is_ok()) {
    if (utf8 && !is_ascii(line)) {
      ascii = false;
      utf8 = is_valid_utf8(line);
    }
  }
  if (st.code != kRecordNotAvailable || (st = in.rewind()).failed()) {
    stop(reporter, "Get", name, st);
    return;
  }
  const bool convert = utf8 && !ascii;

  HeldEnd held(sink);
  PageReader reader(options, held);
  bool dated = false;
  while ((st = in.next(line)).is_ok()) {
    ++count1;
    progress.report("COUNT1", count1);
    reader.line(convert ? cp1252_from_utf8(line) : line);
    if (!dated && reader.dated()) {
      dated = true;
      progress.report("CALPROC#", reader.calproc());
    }
  }
  if (st.code != kRecordNotAvailable) {
    sink.page_abandoned();
    stop(reporter, "Get", name, st);
    return;
  }
  in.close();
  const PageEnd how = reader.end();
  if (!dated && reader.dated()) progress.report("CALPROC#", reader.calproc());
  if (how == PageEnd::Whole) {
    sink.page_done();
    return;
  }
  // Clearing the week for a page that holds no days, or only its first ones, would lose events
  // that are stored now.
  sink.page_abandoned();
  stop(reporter, "Read", name,
       Status(kInvalidFile, how == PageEnd::NoDays
                                ? "no calendar days in the page"
                                : "the page ends before its calendar table does"));
}

}  // namespace mervane
