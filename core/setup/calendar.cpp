#include "core/setup/calendar.h"

#include "core/app/window_base.h"
#include "core/util/concat.h"
#include "core/util/dates.h"
#include "core/util/picture.h"
#include "core/util/text.h"

namespace mervane {
namespace {

constexpr const char* kMonths[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};
// The weekday heads as the window shows them; split into one prompt above each column.
constexpr std::string_view kHeads = "Mon    Tue    Wed    Thu     Fri         Sat     Sun";

// The sheet's places, in dialog units: seven columns of day buttons below the title row.
constexpr int kLeft = 6, kColumn = 28, kButtonW = 24, kButtonH = 13;
constexpr int kHeadTop = 22, kTop = 33, kRow = 16;
constexpr int kBottom = kTop + 6 * kRow + 4;

Rect day_rect(int i) {
  return {kLeft + (i % 7) * kColumn, kTop + (i / 7) * kRow, kButtonW, kButtonH};
}

Rect around(Rect r, int by) {
  return {r.x - by, r.y - by, r.w + 2 * by, r.h + 2 * by};
}

std::vector<ControlSpec> calendar_controls() {
  using C = CalendarControl;
  using K = ControlKind;
  const int width = kLeft * 2 + 6 * kColumn + kButtonW;
  ControlList l(number(C::HEAD_MON));
  std::vector<Rect> at;  // the place of each control, in the order they are added
  l.add(number(C::CTITLE), K::Display, "?CTITLE", {}, "s14");
  at.push_back({width / 2 - 40, 6, 80, 10});
  const char* arrows[4] = {"7", "3", "4", "8"};
  const char* uses[4] = {"?BLY", "?BLM", "?BNM", "?BNY"};
  const int xs[4] = {kLeft, kLeft + 20, width - kLeft - 36, width - kLeft - 16};
  for (int i = 0; i < 4; ++i) {
    l.add(number(C::BLY) + i, K::Button, uses[i], arrows[i]);
    at.push_back({xs[i], 4, 16, 13});
  }
  std::size_t from = 0;
  for (int i = 0; i < 7; ++i) {
    from = kHeads.find_first_not_of(' ', from);
    const std::size_t end = kHeads.find(' ', from);
    l.prompt(std::string(kHeads.substr(from, end - from)));
    from = end;
    at.push_back({kLeft + i * kColumn, kHeadTop, kButtonW, 9});
  }
  auto name = [](int i) { return std::to_string(i / 7 + 1) + std::to_string(i % 7 + 1); };
  for (int i = 0; i < 42; ++i) {
    l.add(number(C::B11) + i, K::Button, "?B" + name(i));
    at.push_back(day_rect(i));
  }
  l.add(number(C::TODAY), K::Button, "?TODAY", "Today");
  at.push_back({kLeft, kBottom, 50, 14});
  l.add(number(C::CANCEL), K::Button, "?CANCEL", "Cancel");
  at.push_back({kLeft + 56, kBottom, 50, 14});
  l.add(number(C::NODAYS), K::Display, "?NODAYS", {}, "n-7");
  at.push_back({width - kLeft - 40, kBottom + 2, 40, 10});
  for (int i = 0; i < 42; ++i) {
    l.add(number(C::BOX11) + i, K::Box, "?BOX" + name(i));
    at.push_back(around(day_rect(i), 2));
  }
  for (int i = 0; i < 42; ++i) {
    l.add(number(C::BAX11) + i, K::Box, "?BAX" + name(i));
    at.push_back(around(day_rect(i), 1));
  }
  std::vector<ControlSpec> v = l.take();
  for (std::size_t i = 0; i < v.size(); ++i) {
    ControlSpec& c = v[i];
    c.at = at[i];
    if (c.id >= number(C::BLY) && c.id <= number(C::BNY)) c.font = "Webdings";
    if (c.id >= number(C::BOX11) && c.id <= number(C::BOX67)) c.value = "red";
    if (c.id >= number(C::BAX11)) c.value = "blue";
  }
  return v;
}

// The sheet's column of a weekday: Monday 1 ... Sunday 7.
int column_of(std::int32_t serial) {
  const int w = weekday_of(serial);
  return w == 0 ? 7 : w;
}

}  // namespace

Calendar::Calendar(Session& s) : session_(s) {}

const std::vector<ControlSpec>& Calendar::controls() const {
  static const std::vector<ControlSpec> v = calendar_controls();
  return v;
}

void Calendar::open() {
  const Globals g = session_.globals();
  cdate_ = g.cdate;
  mask_ = g.cmask.str();
  const Ymd start = ymd_of(cdate_ != 0 ? cdate_ : session_.clock().today());
  month_ = start.month;
  year_ = start.year;
  pop_scr();
  focus_ = number(CalendarControl::CANCEL);
}

void Calendar::pop_scr() {
  const std::int32_t today = session_.clock().today();
  nodays_ = cdate_ - today;
  const std::string name = std::string(kMonths[month_ - 1]) + " " + std::to_string(year_);
  const std::size_t pad = name.size() < 14 ? (14 - name.size()) / 2 : 0;
  title_ = format_text("s14", std::string(pad, ' ') + name);

  days_.fill(std::string(4, ' '));
  const auto first = date_serial(year_, month_, 1);
  const int days = days_in_month(year_, month_);
  const int w = first ? column_of(*first) : 1;
  for (int d = 1; d <= days; ++d)
    days_[static_cast<std::size_t>(w + d - 2)] = concat({" ", format_value("n2b", d), " "});

  // The frames: GLO:CDATE's when the sheet shows its month, today's when it shows this month.
  auto frame_of = [&](std::int32_t date) {
    if (date == 0) return -1;
    const Ymd ymd = ymd_of(date);
    if (ymd.year != year_ || ymd.month != month_) return -1;
    const std::string text = concat({" ", format_value("n2", ymd.day), " "});
    for (int i = 0; i < 42; ++i)
      if (days_[static_cast<std::size_t>(i)] == text) return i;
    return -1;
  };
  box_ = frame_of(cdate_);
  bax_ = frame_of(today);
}

int Calendar::button_index(int control) const {
  const int b = control - number(CalendarControl::B11);
  return b >= 0 && b < 42 ? b : -1;
}

Reply Calendar::leave(Response r) {
  // Nothing picked: GLO:CDATE is handed back as this call found it, even when a picker of
  // another window closed meanwhile and left its own date there.
  session_.with([&](Globals& g) {
    g.cmask = "1111111";
    if (r != Response::Completed) g.cdate = cdate_;
  });
  return close(r);
}

Reply Calendar::on_accepted(int control) {
  focus_ = 0;  // the cursor starts on Cancel and then stays where the user puts it
  const int b = button_index(control);
  if (b >= 0) {
    // POP_GLO: the day is the number in characters 2-3 of the button's text.
    const int day = std::stoi(days_[static_cast<std::size_t>(b)].substr(1, 2));
    if (const auto picked = date_serial(year_, month_, day)) {
      session_.with([&](Globals& g) { g.cdate = *picked; });
      cdate_ = *picked;
    }
    return leave(Response::Completed);
  }
  switch (static_cast<CalendarControl>(control)) {
    case CalendarControl::CANCEL:
      return leave(Response::Cancelled);
    case CalendarControl::BLY:
      --year_;
      break;
    case CalendarControl::BNY:
      ++year_;
      break;
    case CalendarControl::BLM:
      if (--month_ < 1) month_ = 12, --year_;
      break;
    case CalendarControl::BNM:
      if (++month_ > 12) month_ = 1, ++year_;
      break;
    case CalendarControl::TODAY: {
      const Ymd t = ymd_of(session_.clock().today());
      month_ = t.month;
      year_ = t.year;
      break;
    }
    default:
      return Reply::stay();
  }
  pop_scr();
  return Reply::stay();
}

Reply Calendar::on_key(KeyPress k) {
  if (k.key == Key::Esc) return leave(Response::Cancelled);
  return Reply::stay();
}

std::string Calendar::value(int control) const {
  if (control == number(CalendarControl::CTITLE)) return title_;
  if (control == number(CalendarControl::NODAYS)) return format_value("n-7", nodays_);
  const int b = button_index(control);
  if (b >= 0) return days_[static_cast<std::size_t>(b)];
  return {};
}

bool Calendar::enabled(int control) const {
  if (closed()) return false;
  const int b = button_index(control);
  if (b < 0) return true;
  const std::size_t column = static_cast<std::size_t>(b % 7);
  return column >= mask_.size() || mask_[column] != '0';
}

bool Calendar::hidden(int control) const {
  const int b = button_index(control);
  if (b >= 0) return clip(days_[static_cast<std::size_t>(b)]).empty();
  const int box = control - number(CalendarControl::BOX11);
  if (box >= 0 && box < 42) return box != box_;
  const int bax = control - number(CalendarControl::BAX11);
  if (bax >= 0 && bax < 42) return bax != bax_;
  return false;
}

const std::vector<ControlSpec>& WingdingChart::controls() const {
  static const std::vector<ControlSpec> v =
      ControlList(3)
          .add(number(WingdingChartControl::IMAGE1), ControlKind::Image, "?IMAGE1",
               std::string(kPicture))
          .add(number(WingdingChartControl::CANCEL), ControlKind::Button, "?CANCEL", "Close")
          .take();
  return v;
}

Reply WingdingChart::on_accepted(int control) {
  if (control == number(WingdingChartControl::CANCEL)) return close(Response::Completed);
  return Reply::stay();
}

Reply WingdingChart::on_key(KeyPress k) {
  if (k.key == Key::Esc || k.key == Key::Enter) return close(Response::Completed);
  return Reply::stay();
}

}  // namespace mervane
