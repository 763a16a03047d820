#include "core/output/aux_lines.h"

#include "core/output/news_line.h"
#include "core/runtime/table.h"

namespace mervane {
namespace {

std::string_view level_letter(std::int16_t color) {
  switch (color) {
    case 1:
      return "L";
    case 2:
      return "M";
    case 3:
      return "H";
    default:
      return "";
  }
}

}  // namespace

std::string aux_line(const BuildSettings& s, const SwapoutRecord& item, std::int64_t count1,
                     const TimeShift* to_local) {
  std::string date, time;
  append_news_date(date, item.date);
  append_news_time(time, item.time);
  const std::string label = to_local ? local_label(item.date, item.time, *to_local, s.off2fmt)
                                     : local_label(item.date, item.time, s.offset2, s.off2fmt);
  const std::string_view ccy = item.currency.view();
  const std::string_view level = level_letter(item.color);
  std::string t1 = "\"";
  t1 += item.text1.view();
  t1 += '"';

  std::string out = date;
  out += ' ';
  out += time;
  out += ';';
  append_number(out, item.spacing);
  out += ';';
  append_number(out, item.symbol);
  out += ';';
  append_number(out, item.color);
  out += ';';
  out += ccy;
  out += ';';
  append_chart_flags(
      out, {item.m1, item.m5, item.m15, item.m30, item.h1, item.h4, item.d1, item.w1, item.mn1});
  out += ';';
  // Unlike an event's, the item's description line for DESCFIRST 4 starts with a blank; values
  // outside 1..4 (only an edited settings file holds them) count as 1, as for events.
  std::string desc;
  switch (s.descfirst) {
    case 2:
      desc = date + " " + std::string(ccy) + " " + std::string(level) + " " + t1;
      break;
    case 3:
      desc = std::string(ccy) + " " + date + " " + std::string(level) + " " + t1;
      break;
    case 4:
      desc = " " + t1 + " " + date + " " + std::string(ccy) + " " + std::string(level);
      break;
    default:
      desc = time + " " + std::string(ccy) + " " + std::string(level) + " " + t1;
  }
  out += desc.substr(0, 99);
  out += " *";
  append_number(out, count1);
  out += ';';
  out += label;
  if (!label.empty()) out += ' ';
  out += item.text2.view();
  return std::string(clip(out));  // as written: an empty free text leaves no blank behind
}

void out_aux(Session& session, const BuildSettings& s, OutputFile& news, Reporter& r, Progress& p,
             std::int64_t& count1, const TimeShift* to_local) {
  if (s.inclswaps == 0) return;
  Table<SwapoutTable> t(session.folder(), session.files());
  Status st = t.open(OpenMode::read_only());
  // Only a missing table is created: create() empties an existing one, and a table that is
  // locked or damaged must keep its items.
  if (st.code == kFileNotFound) {
    if (stop_if_failed(r, "Create", t.file_name(), t.create())) return;
    st = t.open(OpenMode::read_only());
  }
  if (stop_if_failed(r, "Open", t.file_name(), st)) return;
  if (stop_if_failed(r, "Get", t.file_name(), t.set_start(SwapoutKey::Key))) return;
  for (;;) {
    st = t.next();
    if (st.code == kRecordNotAvailable) break;
    if (st.failed()) {
      stop(r, "Get", t.file_name(), st);
      break;
    }
    ++count1;
    p.report("COUNT1", count1);
    news.add(aux_line(s, t.rec, count1, to_local));
  }
  t.close();
}

}  // namespace mervane
