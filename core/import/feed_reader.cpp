#include "core/import/feed_reader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <utility>

#include "core/import/calendar_file.h"
#include "core/import/page_row.h"
#include "core/util/charset.h"
#include "core/util/dates.h"

namespace mervane {
namespace {

// How much of a file the content test looks at.
constexpr std::size_t kHeadBytes = 4096;
// The most days a feed's events may spread over, from the Sunday before the first.
constexpr std::int32_t kMaxFeedDays = 62;

bool starts_with(std::string_view s, std::string_view p) {
  return s.size() >= p.size() && std::memcmp(s.data(), p.data(), p.size()) == 0;
}

bool same_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool is_ascii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The feed's text as the parser reads it, and its character set: UTF-16 (by its byte order
// mark) becomes UTF-8; UTF-8 is taken when the bytes are well-formed UTF-8 (whatever the
// declaration says: feeds that declare windows-1252 and send UTF-8 are common), Windows-1252
// otherwise, as it stands: the parser passes bytes above 127 through, and character references
// are left to value_text(). Line ends stay where they were, so line numbers count the same in
// the original.
struct FeedText {
  std::string converted;  // UTF-16 only
  std::string_view text;
  bool utf8 = true;
};

FeedText feed_text(std::string_view bytes) {
  FeedText f;
  if (starts_with(bytes, "\xFF\xFE") || starts_with(bytes, "\xFE\xFF")) {
    f.converted = utf8_from_utf16(bytes.substr(2), bytes[0] == '\xFE');
    f.text = f.converted;
    return f;
  }
  if (starts_with(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
  f.text = bytes;
  f.utf8 = is_ascii(bytes) || is_valid_utf8(bytes);
  return f;
}

std::int64_t line_at(std::string_view text, std::ptrdiff_t offset) {
  if (offset < 0) return 1;
  const std::size_t end = std::min(static_cast<std::size_t>(offset), text.size());
  return 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n');
}

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The character of a reference ("amp", "#8364", "#x20AC") in the feed's character set. A name
// XML does not define (an HTML one such as "nbsp") gives nothing, as the page's unknown entities
// do; false when `ref` is no reference at all, which then stays as it stands.
bool append_reference(std::string& out, std::string_view ref, bool utf8) {
  static constexpr std::array<std::pair<std::string_view, char>, 5> kNamed = {
      {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}}};
  for (const auto& [name, c] : kNamed) {
    if (ref == name) {
      out += c;
      return true;
    }
  }
  const auto alnum = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  };
  if (!ref.empty() && ref[0] != '#') return std::all_of(ref.begin(), ref.end(), alnum);
  if (ref.size() < 2) return false;
  const bool hex = ref[1] == 'x' || ref[1] == 'X';
  std::string_view digits = ref.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return false;
  char32_t cp = 0;
  for (char c : digits) {
    int d = c >= '0' && c <= '9' ? c - '0' : -1;
    if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return false;
    cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(d);
  }
  if (cp > 0x10FFFF) cp = 0xFFFD;
  if (utf8) {
    append_utf8(out, cp);
  } else {
    const std::optional<char> c = cp1252_char(cp);
    out += c ? *c : '?';
  }
  return true;
}

// Text with its references replaced (the parser leaves them, see feed_text()).
void append_unescaped(std::string& out, std::string_view raw, bool utf8) {
  for (std::size_t amp; (amp = raw.find('&')) != std::string_view::npos;) {
    out.append(raw.substr(0, amp));
    const std::size_t semi = raw.find(';', amp + 1);
    if (semi == std::string_view::npos || semi - amp > 12 ||
        !append_reference(out, raw.substr(amp + 1, semi - amp - 1), utf8)) {
      out += '&';
      raw.remove_prefix(amp + 1);
      continue;
    }
    raw.remove_prefix(semi + 1);
  }
  out.append(raw);
}

// A value's text: its text and CDATA pieces joined, outer white space trimmed, in
// Windows-1252, read as a decoded page text reads ("&" as "+", "_" as a blank), with every
// control character a blank so that no value can break a line of the files written from it.
std::string value_text(pugi::xml_node element, bool utf8) {
  // Mostly one piece of CDATA or of text without references: read where it lies.
  std::string raw;
  std::string_view v;
  const pugi::xml_node only = element.first_child();
  if (only && !only.next_sibling() &&
      (only.type() == pugi::node_cdata ||
       (only.type() == pugi::node_pcdata && !std::strchr(only.value(), '&')))) {
    v = only.value();
  } else {
    for (pugi::xml_node n = element.first_child(); n; n = n.next_sibling()) {
      if (n.type() == pugi::node_cdata) raw += n.value();
      if (n.type() == pugi::node_pcdata) append_unescaped(raw, n.value(), utf8);
    }
    v = raw;
  }
  return page_text(v, utf8);
}

// MM-DD-YYYY (one-digit month and day taken too) as a date serial.
std::optional<std::int32_t> feed_date(std::string_view s) {
  int part[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  int k = 0;
  for (char c : s) {
    if (c == '-') {
      if (++k > 2) return std::nullopt;
    } else if (c >= '0' && c <= '9') {
      part[k] = part[k] * 10 + (c - '0');
      if (++digits[k] > (k == 2 ? 4 : 2)) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (k != 2 || digits[0] == 0 || digits[1] == 0 || digits[2] != 4) return std::nullopt;
  return date_serial(part[2], part[0], part[1]);
}

FeedWeek with_problem(std::int64_t line, std::string text) {
  FeedWeek w;
  w.problem = FeedProblem{line, std::move(text)};
  return w;
}

}  // namespace

bool looks_like_feed(std::string_view head) {
  head = head.substr(0, kHeadBytes);
  std::string converted;
  if (starts_with(head, "\xFF\xFE") || starts_with(head, "\xFE\xFF")) {
    converted = feed_text(head).converted;
    head = converted;
  } else if (starts_with(head, "\xEF\xBB\xBF")) {
    head.remove_prefix(3);
  }
  const auto skip_space = [&] {
    while (!head.empty() && is_space(head.front())) head.remove_prefix(1);
  };
  const auto skip_past = [&](std::string_view end) {
    const std::size_t at = head.find(end);
    head.remove_prefix(at == std::string_view::npos ? head.size() : at + end.size());
  };
  skip_space();
  const bool declared = starts_with(head, "<?xml");
  for (;;) {
    skip_space();
    if (starts_with(head, "<?")) {
      skip_past("?>");
    } else if (starts_with(head, "<!--")) {
      skip_past("-->");
    } else if (starts_with(head, "<!")) {
      skip_past(">");
    } else {
      break;
    }
  }
  if (!starts_with(head, "<")) return declared && head.empty();
  std::size_t n = 1;
  while (n < head.size() && !is_space(head[n]) && head[n] != '>' && head[n] != '/') ++n;
  const std::string_view name = head.substr(1, n - 1);
  if (name == "weeklyevents") return true;
  return declared && !name.empty() && !same_nocase(name, "html");
}

FeedWeek parse_feed(std::string_view bytes, const PageOptions& options) {
  const FeedText feed = feed_text(bytes);
  const std::string_view text = feed.text;
  const bool utf8 = feed.utf8;
  pugi::xml_document doc;
  // References are replaced by value_text() in the feed's own character set.
  const pugi::xml_parse_result parsed = doc.load_buffer(
      text.data(), text.size(), pugi::parse_default & ~pugi::parse_escapes, pugi::encoding_utf8);
  if (parsed.status == pugi::status_no_document_element)
    return with_problem(line_at(text, parsed.offset), "the feed holds no XML element");
  if (!parsed)
    return with_problem(
        line_at(text, parsed.offset),
        std::string("the feed is not well-formed XML (") + parsed.description() + ")");
  const pugi::xml_node root = doc.document_element();
  if (std::strcmp(root.name(), "weeklyevents") != 0)
    return with_problem(line_at(text, root.offset_debug()),
                        "the feed's root element is <" +
                            std::string(std::string_view(root.name()).substr(0, 40)) +
                            ">, not <weeklyevents>");

  FeedWeek week;
  std::int32_t first = 0, last = 0;
  std::string first_text, last_text;
  RowFields row;
  PageEvent event;
  for (pugi::xml_node item = root.child("event"); item; item = item.next_sibling("event")) {
    ++week.items;
    pugi::xml_node title, country, date, time, impact, forecast, previous;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
      if (c.type() != pugi::node_element) continue;
      const std::string_view n = c.name();
      pugi::xml_node* slot = n == "title"      ? &title
                             : n == "country"  ? &country
                             : n == "date"     ? &date
                             : n == "time"     ? &time
                             : n == "impact"   ? &impact
                             : n == "forecast" ? &forecast
                             : n == "previous" ? &previous
                                               : nullptr;
      if (slot && !*slot) *slot = c;
    }
    const std::string date_text = date ? value_text(date, utf8) : std::string();
    if (date_text.empty())
      return with_problem(line_at(text, item.offset_debug()), "an event without a date");
    const std::optional<std::int32_t> day = feed_date(date_text);
    if (!day)
      return with_problem(line_at(text, date.offset_debug()),
                          "an event dated \"" + date_text + "\", not MM-DD-YYYY");
    if (!week.dated || *day < first) {
      first = *day;
      first_text = date_text;
    }
    if (!week.dated || *day > last) {
      last = *day;
      last_text = date_text;
    }
    week.dated = true;
    if (last - sunday_on_or_before(first) > kMaxFeedDays)
      return with_problem(line_at(text, date.offset_debug()),
                          "the events run from " + first_text + " to " + last_text +
                              ": more than two months, not a weekly feed");

    row = RowFields{};
    row.stime = value_text(time, utf8);
    row.sccy = value_text(country, utf8);
    row.sdescr = value_text(title, utf8);
    row.simpct = impact_code(value_text(impact, utf8), options.nonecon);
    row.sfcast = value_text(forecast, utf8);
    row.sprev = value_text(previous, utf8);
    if (finish_row(row, options, *day, event, RowTexts::Plain))
      week.events.push_back(std::move(event));
  }
  // An empty feed is a download gone wrong (the service's weeks always hold events), as a page
  // without a calendar day is.
  if (week.items == 0)
    return with_problem(line_at(text, root.offset_debug()), "the feed holds no events");
  if (week.dated) {
    week.first_day = sunday_on_or_before(first);
    week.last_day = std::max(last, week.first_day + 6);
  }
  return week;
}

void store_feed(const FeedWeek& week, PageSink& sink) {
  if (week.dated && week.last_day == week.first_day + 6)
    sink.delete_week(week.first_day);
  else if (week.dated)
    sink.delete_days(week.first_day, week.last_day);
  for (const PageEvent& e : week.events) sink.store(e);
  sink.page_done();
}

void proc_feed(const std::filesystem::path& file, std::string_view name, const PageOptions& options,
               PageSink& sink, Reporter& reporter, Progress& progress, std::int64_t& count1) {
  std::string bytes;
  std::string_view op;
  const Status read = read_calendar_bytes(file, bytes, op);
  if (stop_if_failed(reporter, op, name, read)) return;
  read_feed(bytes, name, options, sink, reporter, progress, count1);
}

void read_feed(std::string_view bytes, std::string_view name, const PageOptions& options,
               PageSink& sink, Reporter& reporter, Progress& progress, std::int64_t& count1) {
  const FeedWeek week = parse_feed(bytes, options);
  if (week.problem) {
    stop(reporter, "Read", name,
         Status(kInvalidFile,
                "line " + std::to_string(week.problem->line) + ": " + week.problem->text));
    return;
  }
  count1 += static_cast<std::int64_t>(week.items);
  progress.report("COUNT1", count1);
  if (week.dated) progress.report("CALPROC#", week.first_day);
  store_feed(week, sink);
}

}  // namespace mervane
