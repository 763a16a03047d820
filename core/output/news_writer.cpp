#include "core/output/news_writer.h"

#include <algorithm>

#include "core/output/event_filter.h"
#include "core/output/news_line.h"
#include "core/util/helpers.h"

namespace mervane {
namespace {

constexpr std::size_t kDescLineWidth = 99;
constexpr std::size_t kDescWidth = 40;

// The number of a KX ID: its leading digits (after any leading blanks). The service's ids are
// plain digits; anything after them is ignored.
std::int64_t kxid_number(std::string_view id) {
  std::size_t i = 0;
  while (i < id.size() && id[i] == ' ') ++i;
  std::int64_t n = 0;
  for (; i < id.size() && id[i] >= '0' && id[i] <= '9'; ++i) n = n * 10 + (id[i] - '0');
  return n;
}

// The description cut for the description line: leading blanks removed, at most 40 characters.
std::string_view d40(std::string_view descr) {
  std::size_t i = 0;
  while (i < descr.size() && descr[i] == ' ') ++i;
  return clip(descr.substr(i, kDescWidth));
}

// DESCLINE1 by DESCFIRST: 1 (and any value outside 2..4) time first, 2 date first, 3 currency
// first, 4 the quoted description first.
void append_desc_line(std::string& out, const BuildSettings& s, const CalendarRecord& r,
                      std::string_view date, std::string_view time) {
  const std::size_t start = out.size();
  const std::string_view ccy = r.currency.view();
  const std::string_view imp = r.impact.view();
  const std::string_view d = d40(r.descr.view());
  auto quoted = [&] {
    out += '"';
    out += d;
    out += '"';
  };
  auto part = [&](std::string_view p) {
    out += p;
    out += ' ';
  };
  switch (s.descfirst) {
    case 2:
      part(date), part(ccy), part(imp), quoted();
      break;
    case 3:
      part(ccy), part(date), part(imp), quoted();
      break;
    case 4:
      quoted();
      out += ' ';
      part(date), part(ccy);
      out += imp;
      break;
    default:
      part(time), part(ccy), part(imp), quoted();
  }
  if (out.size() - start > kDescLineWidth) out.resize(start + kDescLineWidth);
}

// Symbol and colour: a positive setting replaces the stored value, a negative one (or none)
// keeps it; a setting of 0 never gets here, the event was left out.
void append_rule(std::string& out, std::optional<std::int16_t> setting, std::string_view stored) {
  if (setting && *setting > 0)
    append_number(out, *setting);
  else
    out += stored;
}

void append_news_line(std::string& out, const BuildSettings& s, const TimeShift& to_local,
                      const CalendarRecord& r, std::int32_t position, std::int64_t count1) {
  std::string date, time;
  append_news_date(date, r.date);
  append_news_time(time, r.time);
  out += date;
  out += ' ';
  out += time;
  out += ';';
  append_number(out, position);
  out += ';';
  append_rule(out, symbol_setting(s, r.currency), r.symbol.view());
  out += ';';
  append_rule(out, color_setting(s, r.impact), r.color.view());
  out += ';';
  out += s.check1 != 0 ? r.currency.view() : std::string_view("ALL");
  out += ';';
  append_chart_flags(out, {s.checkm1, s.checkm5, s.checkm15, s.checkm30, s.checkh1, s.checkh4,
                           s.checkd1, s.checkw1, s.checkmn});
  out += ';';
  append_desc_line(out, s, r, date, time);
  out += ' ';
  std::int64_t id = count1 + 1000;
  if (s.cldrfmt == 2 && r.kxidcode > "0") id = kxid_number(r.kxidcode.view());
  append_number(out, id);
  out += ';';
  const std::string label = local_label(r.date, r.time, to_local, s.off2fmt);
  out += label;
  if (!r.actual.blank() || !r.forecast.blank() || !r.previous.blank()) {
    // "A: " stands even when the actual itself is empty; the revised-from value only ever
    // appears inside this part.
    if (!label.empty()) out += ' ';
    out += "A: ";
    out += r.actual.view();
    if (!r.forecast.blank()) out += " | F: ", out += r.forecast.view();
    if (!r.previous.blank()) out += " | P: ", out += r.previous.view();
    if (!r.revisedfrom.blank()) out += " | R: ", out += r.revisedfrom.view();
  }
}

PviewRecord preview_record(const CalendarRecord& c) {
  PviewRecord p;
  copy_fields(c, p);
  return p;
}

}  // namespace

std::string news_line(const BuildSettings& s, const CalendarRecord& r, std::int32_t position,
                      std::int64_t count1, const TimeShift* to_local) {
  std::string out;
  append_news_line(out, s, to_local ? *to_local : TimeShift(s.offset2), r, position, count1);
  return out;
}

void out_news(Table<CalendarTable>& calendar, const BuildSettings& s, const NewsTargets& out,
              Session& session, Reporter& r, Progress& p, std::int64_t& count1) {
  Table<PviewTable> pview(session.folder(), session.files());
  bool pview_open = false;
  if (out.preview) {
    if (!stop_if_failed(r, "Create", pview.file_name(), pview.create()))
      pview_open = !stop_if_failed(r, "Open", pview.file_name(), pview.open());
    // Without the batch every preview row is a transaction of its own: slower, not wrong.
    if (pview_open) (void)pview.begin_batch();
  }

  count1 = 0;
  std::int32_t ipos = 0;
  std::int64_t previous_slot = 0;
  // SPACING1 divides; the window and the settings reader keep it at 1 or more, and a value
  // below that from elsewhere counts as the built-in 60 minutes.
  const std::int64_t spacing = s.spacing1 >= 1 ? s.spacing1 : 60;
  // A copy: the zones' conversion keeps what it found for the events before.
  const TimeShift to_local = out.to_local ? *out.to_local : TimeShift(s.offset2);
  std::string line;

  calendar.clear();
  calendar.rec.date = s.fromdate;
  Status st = calendar.set(CalendarKey::Key);
  for (;;) {
    if (st.is_ok()) st = calendar.next();
    if (st.code == kRecordNotAvailable) break;
    if (st.failed()) {
      // A read error would otherwise repeat for ever on the same buffer; the run reports it
      // and stops reading, and the caller's files are still put in place or not as it decides.
      stop(r, "Get", calendar.file_name(), st);
      break;
    }
    ++count1;
    p.report("COUNT1", count1);
    const CalendarRecord& c = calendar.rec;
    if (c.date > s.thrudate) break;
    if (out.tap) out.tap->record(c);
    if (!passes_filters(s, c)) continue;

    if (out.preview) {
      if (pview_open) {
        pview.rec = preview_record(c);
        stop_if_failed(r, "Add", pview.file_name(), pview.add());
      }
      continue;
    }

    // Vertical position: events in the same slot of the default chart are numbered 1, 2, ...
    // in key order so that the indicator can stack their marks.
    const std::int64_t minutes =
        (std::int64_t{c.date} - 70000) * 1440 + std::int64_t{hour(c.time)} * 60 + minute(c.time);
    const std::int64_t slot = minutes / spacing;
    if (slot != previous_slot) ipos = 0;
    previous_slot = slot;
    ++ipos;

    if (out.news) {
      line.clear();
      append_news_line(line, s, to_local, c, ipos, count1);
      out.news->add(line);
    }
    if (out.exporter) out.exporter->event(c);
  }

  if (pview_open) {
    // The preview rows are stored only now: a failure here leaves the preview empty.
    stop_if_failed(r, "Add", pview.file_name(), pview.end_batch());
    pview.close();
  }
}

}  // namespace mervane
