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

  PageReader reader(options, sink);
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
  reader.end();
  if (!dated && reader.dated()) progress.report("CALPROC#", reader.calproc());
}

}  // namespace mervane
