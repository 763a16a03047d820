#include "core/history/forms.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "core/setup/pick_date.h"

namespace mervane {

template class RecordForm<CalendarTable>;
template class RecordForm<SwapoutTable>;
template class RecordForm<SwaprateTable>;
template class RecordForm<SwapdataTable>;

namespace {

constexpr int kRowHeight = 10;
constexpr int kButtonHeight = 14;

// The width of an entry for its picture: four dialog units a character (an average letter;
// digits and capitals are wider) and a margin for the frame.
int entry_width(std::string_view picture) {
  const auto p = read_picture(picture);
  int chars = 10;
  if (p) {
    switch (p->kind) {
      case PictureKind::Date:
        chars = p->style == 3 ? 12 : 10;
        break;
      case PictureKind::Time:
        chars = 7;
        break;
      default:
        chars = p->width;
        break;
    }
  }
  return chars * 4 + 12;
}

// The controls of a form in window order, placed: decorations are numbered from 100 on.
class Layout {
 public:
  // A prompt at x 8 and its entry at x, on row y.
  template <class E>
  void row(std::string prompt, E id, std::string use, std::string picture, int y, int prompt_width,
           int x) {
    text(std::move(prompt), {8, y + 1, prompt_width, kRowHeight});
    entry(id, std::move(use), std::move(picture), x, y);
  }
  // An entry as wide as its picture.
  template <class E>
  void entry(E id, std::string use, std::string picture, int x, int y) {
    const int w = entry_width(picture);
    l.add(number(id), ControlKind::Entry, std::move(use), {}, std::move(picture))
        .at({x, y, w, kRowHeight});
  }
  template <class E>
  void add(E id, ControlKind kind, std::string use, std::string text, Rect at) {
    l.add(number(id), kind, std::move(use), std::move(text)).at(at);
  }
  template <class E>
  void calendar_button(E id, std::string use, Rect at) {
    l.calendar_button(number(id), std::move(use)).at(at);
  }
  void text(std::string t, Rect at) {
    l.prompt(std::move(t));
    l.at(at);
  }
  void image(std::string name, Rect at) {
    l.image(std::move(name));
    l.at(at);
  }
  // A group box; the controls added until end_group() are inside it.
  void group(std::string caption, Rect at) {
    l.parent = l.group(std::move(caption));
    l.at(at);
  }
  void end_group() { l.parent = 0; }
  std::vector<ControlSpec> take() { return l.take(); }

 private:
  ControlList l{100};
};

// The nine chart flags of an item or a definition as check boxes: ids gives their controls in
// the order M1, M5, M15, M30, H1, H4, D1, W1, MN1.
template <class R, class C>
void add_chart_fields(std::vector<FormField<R>>& fields, const std::array<C, 9>& ids) {
  std::int16_t R::*const flags[] = {&R::m1, &R::m5, &R::m15, &R::m30, &R::h1,
                                    &R::h4, &R::d1, &R::w1,  &R::mn1};
  for (std::size_t i = 0; i < ids.size(); ++i)
    fields.push_back(check_field(number(ids[i]), flags[i]));
}

constexpr const char* kLegend1 = "1      2      3      4      5      6";
constexpr const char* kLegend2 = "7      8      9      10     11";
// The picture of the Wingdings characters beside a symbol field: 751 x 299 pixels, scaled.
constexpr Rect kWingdingsPicture{310, 8, 222, 88};

// The character a Wingdings preview shows: the code, when it is one.
std::string symbol_code(long code) {
  return code >= 1 && code <= 255 ? std::to_string(code) : std::string();
}

FormSpec<CalendarTable> calendar_def() {
  using C = UpdateCalendarControl;
  using R = CalendarRecord;
  using K = ControlKind;
  Layout l;
  const int pw = 84, x = 96;
  l.row("&Date  (mm/dd/yyyy):", C::DATE, "?CAL:DATE", "D2", 8, pw, x);
  l.calendar_button(C::BUTTON3, "?BUTTON3", {152, 7, 14, 12});
  l.row("&Time  (hh:mm):", C::TIME, "?CAL:TIME", "T1", 22, pw, x);
  l.row("&Currency:", C::CURRENCY, "?CAL:CURRENCY", "S4", 36, pw, x);
  l.row(" &Descr:", C::DESCR, "?CAL:DESCR", "S50", 50, pw, x);
  l.row("&Impact:", C::IMPACT, "?CAL:IMPACT", "S1", 64, pw, x);
  l.text(" L = low   M = medium   H = high", {116, 65, 140, kRowHeight});
  l.row("&Actual:", C::ACTUAL, "?CAL:ACTUAL", "S10", 78, pw, x);
  l.row("&Forecast:", C::FORECAST, "?CAL:FORECAST", "S10", 92, pw, x);
  l.row("&Previous:", C::PREVIOUS, "?CAL:PREVIOUS", "S10", 106, pw, x);
  l.row("Revised From:", C::REVISEDFROM, "?CAL:REVISEDFROM", "s10", 120, pw, x);
  l.row("&Spacing:", C::SPACING, "?CAL:SPACING", "S4", 134, pw, x);
  l.row("&Symbol:", C::SYMBOL, "?CAL:SYMBOL", "S3", 148, pw, x);
  l.add(C::WINGCHAR, K::Symbol, "?WINGCHAR", "", {124, 146, 14, 14});
  l.image("WINGDINGS.JPG", {kWingdingsPicture.x, 120, kWingdingsPicture.w, kWingdingsPicture.h});
  l.row("&Color:", C::COLOR, "?CAL:COLOR", "S3", 164, pw, x);
  l.text(kLegend1, {124, 164, 150, 8});
  l.text(kLegend2, {124, 173, 150, 8});
  l.row("KX id Code:", C::KXIDCODE, "?CAL:KXIDCODE", "s6", 188, pw, x);
  l.add(C::OK, K::Button, "?OK", "OK (Enter)", {420, 214, 52, kButtonHeight});
  l.add(C::CANCEL, K::Button, "?CANCEL", "Cancel (Esc)", {478, 214, 54, kButtonHeight});

  FormSpec<CalendarTable> s;
  s.title = "Update the Calendar File";
  s.record_name = "Calendar";
  s.unique_key = CalendarKey::Key;
  s.key_name = "CAL:Key";
  s.controls = l.take();
  s.frame = {0, 0, 540, 236};
  s.fields = {
      entry_field(number(C::DATE), "D2", &R::date),
      entry_field(number(C::TIME), "T1", &R::time),
      entry_field(number(C::CURRENCY), "S4", &R::currency),
      entry_field(number(C::DESCR), "S50", &R::descr),
      entry_field(number(C::IMPACT), "S1", &R::impact),
      entry_field(number(C::ACTUAL), "S10", &R::actual),
      entry_field(number(C::FORECAST), "S10", &R::forecast),
      entry_field(number(C::PREVIOUS), "S10", &R::previous),
      entry_field(number(C::REVISEDFROM), "s10", &R::revisedfrom),
      entry_field(number(C::SPACING), "S4", &R::spacing),
      entry_field(number(C::SYMBOL), "S3", &R::symbol),
      entry_field(number(C::COLOR), "S3", &R::color),
      entry_field(number(C::KXIDCODE), "s6", &R::kxidcode),
  };
  s.ok = number(C::OK);
  s.cancel = number(C::CANCEL);
  s.blank_key_message =
      "An event needs a date, a time, a currency or a description: without any of them no list "
      "can show it.";
  return s;
}

FormSpec<SwapoutTable> swapout_def() {
  using C = EditSwapOutControl;
  using R = SwapoutRecord;
  using K = ControlKind;
  Layout l;
  const int pw = 84, x = 96;
  l.row("&Rec Type:", C::RECTYPE, "?SWO:RECTYPE", "s6", 8, pw, x);
  l.row("&Date  (mm/dd/yyyy):", C::DATE, "?SWO:DATE", "D2", 22, pw, x);
  l.calendar_button(C::BUTTON4, "?BUTTON4", {152, 21, 14, 12});
  l.row("&Time  (hh:mm):", C::TIME, "?SWO:TIME", "T1", 36, pw, x);
  l.row("&Currency:", C::CURRENCY, "?SWO:CURRENCY", "s6", 50, pw, x);
  l.row(" &Spacing:", C::SPACING, "?SWO:SPACING", "N-3", 64, pw, x);
  l.row("&Symbol:", C::SYMBOL, "?SWO:SYMBOL", "N3", 78, pw, x);
  l.add(C::WINGCHAR, K::Symbol, "?WINGCHAR", "", {124, 76, 14, 14});
  l.image("WINGDINGS.JPG", kWingdingsPicture);
  l.row("&Color:", C::COLOR, "?SWO:COLOR", "N2", 92, pw, x);
  l.text(kLegend1, {124, 92, 150, 8});
  l.text(kLegend2, {124, 101, 150, 8});
  l.group("  Show on charts  ", {8, 114, 296, 28});
  const std::pair<C, const char*> charts[] = {{C::MN1, " MN1"}, {C::M1, " M1"},   {C::M5, " M5"},
                                              {C::M15, " M15"}, {C::M30, " M30"}, {C::H1, " H1"},
                                              {C::H4, " H4"},   {C::D1, " D1"},   {C::W1, " W1"}};
  int cx = 14;
  for (const auto& [id, text] : charts) {
    l.add(id, K::Check, std::string("?SWO:") + (text + 1), text, {cx, 127, 30, kRowHeight});
    cx += 32;
  }
  l.end_group();
  l.row("&Text 1:", C::TEXT1, "?SWO:TEXT1", "S50", 150, pw, x);
  l.row("&Text 2:", C::TEXT2, "?SWO:TEXT2", "S50", 164, pw, x);
  l.add(C::DUP, K::Button, "?DUP", "Duplicate (F7)", {8, 186, 62, kButtonHeight});
  l.add(C::OK, K::Button, "?OK", "OK (Enter)", {420, 186, 52, kButtonHeight});
  l.add(C::CANCEL, K::Button, "?CANCEL", "Cancel (Esc)", {478, 186, 54, kButtonHeight});

  FormSpec<SwapoutTable> s;
  s.title = "Update the Aux. Output File";
  s.record_name = "Swapout";
  s.unique_key = SwapoutKey::Key;
  s.key_name = "SWO:Key";
  s.controls = l.take();
  s.frame = {0, 0, 540, 208};
  s.fields = {
      entry_field(number(C::RECTYPE), "s6", &R::rectype),
      entry_field(number(C::DATE), "D2", &R::date),
      entry_field(number(C::TIME), "T1", &R::time),
      entry_field(number(C::CURRENCY), "s6", &R::currency),
      entry_field(number(C::SPACING), "N-3", &R::spacing),
      entry_field(number(C::SYMBOL), "N3", &R::symbol),
      entry_field(number(C::COLOR), "N2", &R::color),
      entry_field(number(C::TEXT1), "S50", &R::text1),
      entry_field(number(C::TEXT2), "S50", &R::text2),
  };
  add_chart_fields<R, C>(s.fields,
                         {C::M1, C::M5, C::M15, C::M30, C::H1, C::H4, C::D1, C::W1, C::MN1});
  s.ok = number(C::OK);
  s.cancel = number(C::CANCEL);
  s.blank_key_message =
      "An item needs a record type, a date, a time, a currency or a text 1: without any of them "
      "no list can show it.";
  return s;
}

FormSpec<SwaprateTable> swaprate_def() {
  using C = EditSwapRateControl;
  using R = SwaprateRecord;
  using K = ControlKind;
  Layout l;
  l.row("&Pair:", C::PAIR, "?SWR:PAIR", "S6", 8, 36, 48);
  l.group("   Swap rates  ", {8, 24, 244, 34});
  l.text("&Buy:", {16, 39, 24, 10});
  l.entry(C::BUY, "?SWR:BUY", "N-8.2B", 44, 38);
  l.text("&Sell:", {132, 39, 24, 10});
  l.entry(C::SELL, "?SWR:SELL", "N-8.2B", 160, 38);
  l.end_group();
  l.group("  Currencies / events to collect spread  ", {8, 64, 244, 84});
  const std::tuple<C, const char*, const char*> flags[] = {
      {C::ALL, "  ALL", "ALL"},           {C::USD, "  USD", "USD"},
      {C::CAD, "  CAD", "CAD"},           {C::EUR, "  EUR", "EUR"},
      {C::GBP, "  GBP", "GBP"},           {C::CHF, "  CHF", "CHF"},
      {C::JPY, "  JPY", "JPY"},           {C::AUD, "  AUD", "AUD"},
      {C::NZD, "  NZD", "NZD"},           {C::HIGH, "  High Impact", "HIGH"},
      {C::MED, "  Medium Impact", "MED"}, {C::LOW, "  Low Impact", "LOW"}};
  int i = 0;
  for (const auto& [id, text, use] : flags) {
    const int col = i % 3, line = i / 3;
    l.add(id, K::Check, std::string("?SWR:") + use, text,
          {16 + col * 78, 78 + line * 16, 72, kRowHeight});
    ++i;
  }
  l.end_group();
  l.add(C::OK, K::Button, "?OK", "OK (Enter)", {140, 156, 52, kButtonHeight});
  l.add(C::CANCEL, K::Button, "?CANCEL", "Cancel (Esc)", {198, 156, 54, kButtonHeight});

  FormSpec<SwaprateTable> s;
  s.title = "Update Swap Rate";
  s.record_name = "Swaprate";
  s.unique_key = SwaprateKey::KeyPair;
  s.key_name = "SWR:KeyPair";
  s.controls = l.take();
  s.frame = {0, 0, 260, 178};
  s.fields = {
      entry_field(number(C::PAIR), "S6", &R::pair),
      entry_field(number(C::BUY), "N-8.2B", &R::buy),
      entry_field(number(C::SELL), "N-8.2B", &R::sell),
      check_field(number(C::ALL), &R::all),
      check_field(number(C::USD), &R::usd),
      check_field(number(C::CAD), &R::cad),
      check_field(number(C::EUR), &R::eur),
      check_field(number(C::GBP), &R::gbp),
      check_field(number(C::CHF), &R::chf),
      check_field(number(C::JPY), &R::jpy),
      check_field(number(C::AUD), &R::aud),
      check_field(number(C::NZD), &R::nzd),
      check_field(number(C::HIGH), &R::high),
      check_field(number(C::MED), &R::med),
      check_field(number(C::LOW), &R::low),
  };
  s.ok = number(C::OK);
  s.cancel = number(C::CANCEL);
  s.blank_key_message = "A swap rate needs a pair: without one no list can show it.";
  return s;
}

FormSpec<SwapdataTable> swapdata_def() {
  using C = EditSwapDataControl;
  using R = SwapdataRecord;
  using K = ControlKind;
  Layout l;
  const int pw = 60, x = 72;
  l.row("&Date Add:", C::DATEADD, "?SWD:DATEADD", "N-3", 8, pw, x);
  l.row("&MT4 Time:", C::MT4TIME, "?SWD:MT4TIME", "T1", 22, pw, x);
  l.row("&Descr:", C::DESCR, "?SWD:DESCR", "s50", 36, pw, x);
  l.row("&Factor:", C::FACTOR, "?SWD:FACTOR", "N-3", 50, pw, x);
  l.row("&Spacing:", C::SPACING, "?SWD:SPACING", "N-3", 64, pw, x);
  l.row("&Color:", C::COLOR, "?SWD:COLOR", "N2", 78, pw, x);
  l.row("&Symbol (up):", C::SYMBOL, "?SWD:SYMBOL", "N3", 92, pw, x);
  l.add(C::WINGCHAR, K::Symbol, "?WINGCHAR", "", {100, 90, 14, 14});
  l.row("Symbol (down):", C::SYMBOL2, "?SWD:SYMBOL2", "N3", 108, pw, x);
  l.add(C::WINGCHAR2, K::Symbol, "?WINGCHAR2", "", {100, 106, 14, 14});
  const std::pair<C, const char*> charts[] = {
      {C::M1, "  M1"}, {C::M5, "  M5"}, {C::M15, "  M15"}, {C::M30, "  M30"}, {C::H1, "  H1"},
      {C::H4, "  H4"}, {C::D1, "  D1"}, {C::W1, "  W1"},   {C::MN1, "  MN1"}};
  // Nine across the form, each as wide as "  MN1", the widest, needs.
  int cx = 6;
  for (const auto& [id, text] : charts) {
    l.add(id, K::Check, std::string("?SWD:") + (text + 2), text, {cx, 128, 32, kRowHeight});
    cx += 32;
  }
  l.add(C::OK, K::Button, "?OK", "OK (Enter)", {172, 148, 52, kButtonHeight});
  l.add(C::CANCEL, K::Button, "?CANCEL", "Cancel (Esc)", {228, 148, 54, kButtonHeight});

  FormSpec<SwapdataTable> s;
  s.title = "Update Swap Data";
  s.record_name = "Swapdata";
  s.unique_key = SwapdataKey::KeyDateAdd;
  s.key_name = "SWD:KeyDateAdd";
  s.controls = l.take();
  s.frame = {0, 0, 298, 170};
  s.fields = {
      entry_field(number(C::DATEADD), "N-3", &R::dateadd),
      entry_field(number(C::MT4TIME), "T1", &R::mt4time),
      entry_field(number(C::DESCR), "s50", &R::descr),
      entry_field(number(C::FACTOR), "N-3", &R::factor),
      entry_field(number(C::SPACING), "N-3", &R::spacing),
      entry_field(number(C::COLOR), "N2", &R::color),
      entry_field(number(C::SYMBOL), "N3", &R::symbol),
      entry_field(number(C::SYMBOL2), "N3", &R::symbol2),
  };
  add_chart_fields<R, C>(s.fields,
                         {C::M1, C::M5, C::M15, C::M30, C::H1, C::H4, C::D1, C::W1, C::MN1});
  s.ok = number(C::OK);
  s.cancel = number(C::CANCEL);
  // Date Add 0 is the Sunday's definition: its key value is zero, and it is still a record.
  s.include_unkeyed = true;
  return s;
}

}  // namespace

// ---- UPDATECALENDAR ----

UpdateCalendar::UpdateCalendar(Session& s, Windows& w, Reporter& r)
    : RecordForm(calendar_def(), s, w, r) {}

bool UpdateCalendar::own_button(int control) {
  if (control != number(UpdateCalendarControl::BUTTON3)) return false;
  pick_date(windows(), session(), fields().date);
  return true;
}

std::string UpdateCalendar::own_value(int control) const {
  if (control != number(UpdateCalendarControl::WINGCHAR)) return {};
  const std::string_view code = record().symbol.view();
  if (code.empty() || code.size() > 3 ||
      !std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return {};
  return symbol_code(std::stol(std::string(code)));
}

// ---- EDITSWAPOUT ----

EditSwapOut::EditSwapOut(Session& s, Windows& w, Reporter& r)
    : RecordForm(swapout_def(), s, w, r) {}

bool EditSwapOut::own_button(int control) {
  if (control == number(EditSwapOutControl::BUTTON4)) {
    pick_date(windows(), session(), fields().date);
    focus_on(number(EditSwapOutControl::TIME));
    return true;
  }
  if (control == number(EditSwapOutControl::DUP)) {
    duplicate();
    return true;
  }
  return false;
}

bool EditSwapOut::own_key(KeyPress k) {
  if (k.key != Key::F7) return false;
  duplicate();
  return true;
}

void EditSwapOut::duplicate() {
  const SwapoutRecord kept = session().globals().sworec;
  if (kept == SwapoutRecord{}) return;  // nothing confirmed yet in this run
  fields() = kept;
}

void EditSwapOut::before_save() {
  const SwapoutRecord item = record();
  session().with([&](Globals& g) { g.sworec = item; });
}

std::string EditSwapOut::own_value(int control) const {
  if (control != number(EditSwapOutControl::WINGCHAR)) return {};
  return symbol_code(record().symbol);
}

// ---- EDITSWAPRATE ----

namespace {
constexpr const char* kSwapRateWindow = "EDITSWAPRATE";
}

EditSwapRate::EditSwapRate(Session& s, Windows& w, Reporter& r)
    : RecordForm(swaprate_def(), s, w, r) {}

Frame EditSwapRate::frame() const {
  Frame f = RecordForm::frame();
  if (const auto p = session().place(kSwapRateWindow)) {
    f.at.x = p->x;
    f.at.y = p->y;
    f.placed = true;
  }
  return f;
}

Reply EditSwapRate::on_other_event(const OtherEvent& e) {
  if (e.kind == OtherEvent::Kind::Moved) session().keep_first_place(kSwapRateWindow, {e.x, e.y});
  return RecordForm::on_other_event(e);
}

// ---- EDITSWAPDATA ----

EditSwapData::EditSwapData(Session& s, Windows& w, Reporter& r)
    : RecordForm(swapdata_def(), s, w, r) {}

std::string EditSwapData::own_value(int control) const {
  if (control == number(EditSwapDataControl::WINGCHAR)) return symbol_code(record().symbol);
  if (control == number(EditSwapDataControl::WINGCHAR2)) return symbol_code(record().symbol2);
  return {};
}

std::unique_ptr<WindowModel> make_form(FormKind kind, Session& s, Windows& w, Reporter& r) {
  switch (kind) {
    case FormKind::UpdateCalendar:
      return std::make_unique<UpdateCalendar>(s, w, r);
    case FormKind::EditSwapOut:
      return std::make_unique<EditSwapOut>(s, w, r);
    case FormKind::EditSwapRate:
      return std::make_unique<EditSwapRate>(s, w, r);
    case FormKind::EditSwapData:
      return std::make_unique<EditSwapData>(s, w, r);
  }
  return nullptr;
}

}  // namespace mervane
