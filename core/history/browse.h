// A list window (browse) over one keyed table: one page of rows read in the order of the
// chosen tab's key, from the current position, never the whole table. The page itself (filling,
// scrolling, paging, the highlight) is a Pager (paging.h); the list is its source of rows.
//
// Each row keeps its record and its position in the table, so the list can read on from any
// row, read the record again for the form, and keep a record highlighted across a change of
// sort order. Scrolling reads only the rows that come into view; the scroll thumb stands at one
// of 100 stops between the lowest and highest value of the key's leading field, and dropping it
// positions at that stop's value. A typed character finds the first record whose leading field,
// written as text (a number as its decimal digits), begins with it, letter case ignored; typing
// it again while such a record is highlighted moves to the next one, and from the last one back
// to the first.
//
// Insert, Change and Delete run the table's form through Windows, with the request and the
// record's position in the Session (GLOBALREQUEST); when the form answers completed the page is
// read again at the record it stored, otherwise as it was.
//
// The table is opened through the open service (CHECKOPEN) with a use count, and closed when the
// window closes. A page that cannot be read shows warning 36 and stays as it was; a highlighted
// record that cannot be read again for its form shows warning 35 and the window closes. A record
// another window deleted meanwhile simply leaves the page when it is read again.
//
// Used by one thread at a time (see window_model.h).
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/app/record_services.h"
#include "core/app/scroll_stops.h"
#include "core/app/window_base.h"
#include "core/app/window_model.h"
#include "core/app/windows.h"
#include "core/history/browse_layout.h"
#include "core/history/forms.h"
#include "core/history/paging.h"
#include "core/model/session.h"
#include "core/runtime/field_access.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"
#include "core/setup/window_resize.h"
#include "core/util/picture.h"

namespace mervane {

// A number in a list's cell through the picture Code (read once), with the blanks that pad it.
template <const char* Code>
std::string cell_of(double v) {
  static const Picture p = *read_picture(Code);
  return format_value(p, v);
}

template <class Record>
struct BrowseColumn {
  std::string header;
  int width = 40;  // dialog units
  std::string (*cell)(const Record&) = nullptr;
  bool number = false;  // a number (through a number picture): shown right-aligned
};

// What makes one list window of table Def.
template <class Def>
struct BrowseSpec {
  using Record = typename Def::Record;
  struct Tab {
    std::string text;
    typename Def::Key key;
  };
  std::string title;
  std::string table_name;  // for the messages: "Calendar", "Swapout", ...
  std::vector<Tab> tabs;
  std::vector<BrowseColumn<Record>> columns;
  std::optional<FormKind> form;  // none: a view only, with "Close"
  std::string close_text = "E&xit (Esc)";
  BrowseButton extra;                  // text empty: none
  std::optional<Key> extra_key;        // a key that presses it (F6)
  std::function<void()> extra_action;  // what it does (the page is read again after it)
  bool include_unkeyed = false;        // list the records the key leaves out too (small tables)
};

template <class Def>
class Browse : public WindowModelBase, private RowSource {
 public:
  using Record = typename Def::Record;
  using TableKey = typename Def::Key;

  // One row of the page: the record as read, its position and its cells as shown.
  struct Row {
    Record rec{};
    std::int64_t id = 0;
    std::vector<std::string> cells;
  };

  Browse(BrowseSpec<Def> def, Session& s, Windows& w, Reporter& r);
  ~Browse() override { shut(); }
  Browse(const Browse&) = delete;
  Browse& operator=(const Browse&) = delete;

  const std::vector<ControlSpec>& controls() const override { return controls_; }
  std::string title() const override { return def_.title; }
  void open() override;
  std::string value(int control) const override;
  bool enabled(int control) const override;
  bool hidden(int control) const override { return control == number(BrowseControl::SELECT); }
  ListState list(int control) const override;
  int focus() const override { return number(BrowseControl::BROWSE_1); }
  Frame frame() const override { return {kBrowseWindow, false}; }
  Rect place(int control) const override;

  // The page as read, the highlighted row (-1 when the page is empty) and the chosen tab.
  std::vector<Row> page() const;
  int highlighted() const { return pager_.highlighted(); }
  int tab() const { return tab_; }
  int page_rows() const { return pager_.rows(); }

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return shut(); }
  Reply on_other_event(const OtherEvent& e) override;
  std::string store(int, const Typed&) override { return {}; }  // a list takes no entry

 private:
  TableKey order_key() const { return def_.tabs[static_cast<std::size_t>(tab_)].key; }
  Reply shut();

  // The rows of the table in the order of the current key, for the pager.
  Status at_start() override { return t_.set_start(order_key()); }
  Status at_end() override { return t_.set_end(order_key()); }
  Status at(const PageRow& r) override { return t_.set_at(order_key(), record_of(r), r.id); }
  Status after(const PageRow& r) override {
    // After the row: at (its values, its position + 1), positions being whole numbers.
    return t_.set_at(order_key(), record_of(r), r.id + 1);
  }
  Status read(bool forward, int count, std::vector<PageRow>& out) override;

  PageRow row_of(const Record& rec, std::int64_t id) const;
  static const Record& record_of(const PageRow& r) {
    return std::any_cast<const Record&>(r.record);
  }
  void view_error(const Status& st);

  void thumb(int stop);
  void locate(char ch, bool again);
  void choose_tab(int tab);

  // The leading field of the current key, and a record with the lowest value in every field of
  // the key (to position at a value of the leading field).
  int leading_column() const;
  Record lowest() const;
  std::string leading_text(const Record& r) const;
  bool begins_with(const Record& r, char ch) const;
  // The first record whose leading field begins with ch, after the given row when there is one.
  std::optional<PageRow> first_beginning_with(char ch, const PageRow* after);
  void make_stops();
  int thumb_stop() const;

  Reply request(Request rq);

  BrowseSpec<Def> def_;
  Session& s_;
  Windows& w_;
  Table<Def> t_;
  std::vector<ControlSpec> controls_;
  WindowResizeType resizer_;
  Pager pager_{*this, [this](const Status& st) { view_error(st); }};
  bool opened_ = false;
  int tab_ = 0;
  bool rows_told_ = false;  // the view measured the rows; the height no longer decides
  char located_ = 0;        // the character the last event located by, 0 for any other event
  // The 100 stops of the current key: numbers or texts of the leading field.
  std::vector<double> real_stops_;
  std::vector<std::string> text_stops_;
};

// ---- implementation ----

template <class Def>
Browse<Def>::Browse(BrowseSpec<Def> def, Session& s, Windows& w, Reporter& r)
    : WindowModelBase(r), def_(std::move(def)), s_(s), w_(w), t_(s.folder()) {
  BrowseShape shape;
  for (const auto& t : def_.tabs) shape.tabs.push_back(t.text);
  shape.edits = def_.form.has_value();
  shape.close_text = def_.close_text;
  shape.extra = def_.extra;
  controls_ = browse_controls(shape);
  pager_.set_rows(browse_page_rows(WindowModel::place(number(BrowseControl::BROWSE_1)).h));
}

template <class Def>
void Browse<Def>::open() {
  if (opened_) return;
  open_for_screen(t_, reporter_, s_);
  opened_ = true;
  t_.include_unkeyed(def_.include_unkeyed);
  resizer_.initialize(WindowResizeType::kSpreadStrategy, kBrowseWindow, controls_);
  make_stops();
  pager_.home();
}

template <class Def>
Reply Browse<Def>::shut() {
  if (closed()) return Reply::closed(Response::Cancelled);
  if (opened_) close_for_screen(t_, s_);
  return close(Response::Cancelled);
}

template <class Def>
std::vector<typename Browse<Def>::Row> Browse<Def>::page() const {
  std::vector<Row> rows;
  for (const PageRow& r : pager_.page()) rows.push_back({record_of(r), r.id, r.cells});
  return rows;
}

template <class Def>
PageRow Browse<Def>::row_of(const Record& rec, std::int64_t id) const {
  PageRow row{id, {}, rec};
  row.cells.reserve(def_.columns.size());
  for (const auto& c : def_.columns) row.cells.push_back(c.cell(rec));
  return row;
}

template <class Def>
Status Browse<Def>::read(bool forward, int count, std::vector<PageRow>& out) {
  t_.read_ahead(count);
  for (int i = 0; i < count; ++i) {
    const Status st = forward ? t_.next() : t_.previous();
    if (st.code == kRecordNotAvailable) break;
    if (st.failed()) return st;
    out.push_back(row_of(t_.rec, t_.row_id()));
  }
  return {};
}

template <class Def>
void Browse<Def>::view_error(const Status& st) {
  ri_save_error(s_, st);
  standard_warning(reporter_, s_, 36);
}

template <class Def>
void Browse<Def>::choose_tab(int tab) {
  if (tab < 0 || tab >= static_cast<int>(def_.tabs.size()) || tab == tab_) return;
  const int h = pager_.highlighted();
  const std::optional<PageRow> kept =
      h >= 0 ? std::optional<PageRow>(pager_.page()[static_cast<std::size_t>(h)]) : std::nullopt;
  tab_ = tab;
  make_stops();
  if (!kept || !pager_.fill_at(*kept, std::max(h, 0))) pager_.home();
}

template <class Def>
int Browse<Def>::leading_column() const {
  return Def::schema().keys[static_cast<std::size_t>(order_key())].columns.front();
}

template <class Def>
typename Def::Record Browse<Def>::lowest() const {
  Record r{};
  // One value for every column: a temporary per call makes GCC 12 in Release take the number
  // for a string to free (-Wfree-nonheap-object, a false alarm).
  static const FieldValue kLowest(std::int64_t{INT64_MIN});
  for (int col : Def::schema().keys[static_cast<std::size_t>(order_key())].columns)
    if (Def::schema().columns[static_cast<std::size_t>(col)].kind != FieldKind::Text)
      set_field(r, col, kLowest);
  return r;
}

template <class Def>
std::string Browse<Def>::leading_text(const Record& r) const {
  const FieldValue v = field_value(r, leading_column());
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* n = std::get_if<std::int64_t>(&v)) return std::to_string(*n);
  return {};
}

template <class Def>
bool Browse<Def>::begins_with(const Record& r, char ch) const {
  const std::string t = leading_text(r);
  return !t.empty() && fold_case(t[0]) == fold_case(ch);
}

template <class Def>
std::optional<PageRow> Browse<Def>::first_beginning_with(char ch, const PageRow* after) {
  const int col = leading_column();
  const bool text = Def::schema().columns[static_cast<std::size_t>(col)].kind == FieldKind::Text;
  // Where such records can start, in key order: the character itself for a text; for a number
  // each range of values whose digits begin with it (7, 70-79, 700-799, ...), or the negatives
  // for "-".
  std::vector<std::int64_t> starts;
  if (text) {
    starts.push_back(0);
  } else if (ch == '-') {
    starts.push_back(INT64_MIN);
  } else if (ch >= '0' && ch <= '9') {
    for (std::int64_t lo = ch - '0'; lo <= INT32_MAX; lo *= 10) {
      starts.push_back(lo);
      if (lo == 0) break;
    }
  }
  // The leading number of the given row (read only for a number column).
  const std::int64_t after_value =
      after && !text ? std::get<std::int64_t>(field_value(record_of(*after), col)) : 0;
  for (const std::int64_t start : starts) {
    Status st;
    // From the start of the range, or just after the given row when that lies further on.
    if (after && (text || start <= after_value)) {
      st = this->after(*after);
    } else {
      Record probe = lowest();
      set_field(probe, col, text ? FieldValue(std::string(1, ch)) : FieldValue(start));
      st = t_.set_at(order_key(), probe, INT64_MIN + 1);
    }
    if (st.failed()) {
      view_error(st);
      return std::nullopt;
    }
    t_.read_ahead(1);
    st = t_.next();
    if (st.code == kRecordNotAvailable) continue;
    if (st.failed()) {
      view_error(st);
      return std::nullopt;
    }
    if (begins_with(t_.rec, ch)) return row_of(t_.rec, t_.row_id());
    if (text) break;
  }
  return std::nullopt;
}

template <class Def>
void Browse<Def>::locate(char ch, bool again) {
  std::optional<PageRow> found;
  if (const int h = pager_.highlighted(); again && h >= 0) {
    // Typed again on such a record: the next one, and from the last back to the first.
    const PageRow cur = pager_.page()[static_cast<std::size_t>(h)];
    if (begins_with(record_of(cur), ch)) found = first_beginning_with(ch, &cur);
  }
  if (!found) found = first_beginning_with(ch, nullptr);
  if (found) pager_.show(*found, 0);
}

template <class Def>
void Browse<Def>::make_stops() {
  real_stops_.clear();
  text_stops_.clear();
  const int col = leading_column();
  const ColumnDef& c = Def::schema().columns[static_cast<std::size_t>(col)];
  std::optional<FieldValue> low, high;
  if (t_.set_start(order_key()).is_ok()) {
    t_.read_ahead(1);
    if (t_.next().is_ok()) low = field_value(t_.rec, col);
  }
  if (t_.set_end(order_key()).is_ok()) {
    t_.read_ahead(1);
    if (t_.previous().is_ok()) high = field_value(t_.rec, col);
  }
  if (!low || !high) return;
  if (c.kind == FieldKind::Text) {
    StringStops stops(std::get<std::string>(*low), std::get<std::string>(*high),
                      static_cast<std::size_t>(c.width));
    for (int i = 0; i < 100; ++i) text_stops_.push_back(stops.next());
  } else {
    auto number = [](const FieldValue& v) {
      if (const auto* n = std::get_if<std::int64_t>(&v)) return static_cast<double>(*n);
      return std::get<double>(v);
    };
    RealStops stops(number(*low), number(*high));
    for (int i = 0; i < 100; ++i) real_stops_.push_back(stops.next());
  }
}

template <class Def>
int Browse<Def>::thumb_stop() const {
  if (pager_.page().empty()) return 0;
  const FieldValue v = field_value(record_of(pager_.page().front()), leading_column());
  int stop = 1;
  if (!text_stops_.empty()) {
    const std::string& s = std::get<std::string>(v);
    for (int i = 0; i < 100; ++i)
      if (compare_nocase(text_stops_[static_cast<std::size_t>(i)], s) <= 0) stop = i + 1;
  } else if (!real_stops_.empty()) {
    const double d = std::holds_alternative<std::int64_t>(v)
                         ? static_cast<double>(std::get<std::int64_t>(v))
                         : std::get<double>(v);
    for (int i = 0; i < 100; ++i)
      if (real_stops_[static_cast<std::size_t>(i)] <= d) stop = i + 1;
  } else {
    return 0;
  }
  return stop;
}

template <class Def>
void Browse<Def>::thumb(int stop) {
  if (stop < 1 || stop > 100) return;
  Record probe = lowest();
  const int col = leading_column();
  if (!text_stops_.empty()) {
    set_field(probe, col, FieldValue(text_stops_[static_cast<std::size_t>(stop - 1)]));
  } else if (!real_stops_.empty()) {
    // The first record not below the stop's value.
    set_field(probe, col, FieldValue(real_stops_[static_cast<std::size_t>(stop - 1)]));
  } else {
    return pager_.home();
  }
  pager_.fill([&] { return t_.set_at(order_key(), probe, INT64_MIN + 1); }, 0);
}

template <class Def>
Reply Browse<Def>::request(Request rq) {
  if (!def_.form) return Reply::stay();
  std::int64_t position = 0;
  if (rq != Request::Insert) {
    const int h = pager_.highlighted();
    if (h < 0) return Reply::stay();
    position = pager_.page()[static_cast<std::size_t>(h)].id;
    // The record as stored now, for the form.
    const Status st = t_.get_at(position);
    if (st.code == kRecordNotFound) {  // another window deleted it
      pager_.read_again();
      return Reply::stay();
    }
    if (st.failed()) {
      ri_save_error(s_, st);
      standard_warning(reporter_, s_, 35, def_.table_name);
      return shut();
    }
  }
  s_.set_response(0);
  s_.set_request(rq, position);
  const std::unique_ptr<WindowModel> form = make_form(*def_.form, s_, w_, reporter_);
  w_.run(*form);
  const FormResponse answer = s_.response();
  make_stops();
  if (answer.response == static_cast<int>(Response::Completed) && rq != Request::Delete &&
      answer.position != 0 && t_.get_at(answer.position).is_ok()) {
    pager_.fill_at(row_of(t_.rec, answer.position), std::max(pager_.highlighted(), 0));
  } else {
    pager_.read_again();
  }
  return Reply::stay();
}

template <class Def>
Reply Browse<Def>::on_accepted(int control) {
  located_ = 0;
  switch (static_cast<BrowseControl>(control)) {
    case BrowseControl::INSERT:
      return request(Request::Insert);
    case BrowseControl::CHANGE:
      return request(Request::Change);
    case BrowseControl::DELETE:
      return request(Request::Delete);
    case BrowseControl::CLOSE:
      return shut();
    case BrowseControl::EXTRA:
      if (def_.extra_action) {
        def_.extra_action();
        make_stops();
        pager_.read_again();
      }
      return Reply::stay();
    case BrowseControl::TAB1:
    case BrowseControl::TAB2:
    case BrowseControl::TAB3:
      choose_tab(control - number(BrowseControl::TAB1));
      return Reply::stay();
    default:
      return Reply::stay();
  }
}

template <class Def>
Reply Browse<Def>::on_key(KeyPress k) {
  const char before = std::exchange(located_, 0);
  switch (k.key) {
    case Key::Up:
      pager_.move(-1);
      break;
    case Key::Down:
      pager_.move(1);
      break;
    case Key::PageUp:
      pager_.page_up();
      break;
    case Key::PageDown:
      pager_.page_down();
      break;
    case Key::Home:
      pager_.home();
      break;
    case Key::End:
      pager_.end();
      break;
    case Key::Char:
      locate(k.ch, fold_case(before) == fold_case(k.ch));
      located_ = k.ch;
      break;
    case Key::Insert:
      return accepted(number(BrowseControl::INSERT));
    case Key::Delete:
      return accepted(number(BrowseControl::DELETE));
    case Key::Enter:
    case Key::CtrlEnter:
      return accepted(number(BrowseControl::CHANGE));
    case Key::Esc:
      return shut();
    default:
      if (def_.extra_key && k.key == *def_.extra_key) return accepted(number(BrowseControl::EXTRA));
      break;
  }
  return Reply::stay();
}

template <class Def>
Reply Browse<Def>::on_other_event(const OtherEvent& e) {
  located_ = 0;
  switch (e.kind) {
    case OtherEvent::Kind::RowSelected:
      pager_.highlight(e.value);
      break;
    case OtherEvent::Kind::RowActivated:
      if (e.value >= 0 && e.value < static_cast<int>(pager_.page().size())) {
        pager_.highlight(e.value);
        return accepted(number(BrowseControl::CHANGE));
      }
      break;
    case OtherEvent::Kind::Scroll:
      pager_.scroll(e.value);
      break;
    case OtherEvent::Kind::Thumb:
      thumb(e.value);
      break;
    case OtherEvent::Kind::Tab:
      choose_tab(e.value);
      break;
    case OtherEvent::Kind::Resized:
      if (resizer_.resize({0, 0, e.width, e.height}) && !rows_told_) {
        const int rows = browse_page_rows(place(number(BrowseControl::BROWSE_1)).h);
        if (rows != pager_.rows()) {
          pager_.set_rows(rows);
          pager_.read_again();
        }
      }
      break;
    case OtherEvent::Kind::PageRows:
      if (e.value > 0) {
        rows_told_ = true;
        if (e.value != pager_.rows()) {
          pager_.set_rows(e.value);
          pager_.read_again();
        }
      }
      break;
    default:
      break;
  }
  return Reply::stay();
}

template <class Def>
std::string Browse<Def>::value(int control) const {
  if (control == number(BrowseControl::CURRENTTAB)) return std::to_string(tab_);
  return {};
}

template <class Def>
bool Browse<Def>::enabled(int control) const {
  if (closed() || !control_def(control)) return false;
  if (control == number(BrowseControl::CHANGE) || control == number(BrowseControl::DELETE))
    return pager_.highlighted() >= 0;
  return true;
}

template <class Def>
ListState Browse<Def>::list(int control) const {
  ListState l;
  if (control != number(BrowseControl::BROWSE_1)) return l;
  for (const auto& c : def_.columns) {
    l.headers.push_back(c.header);
    l.widths.push_back(c.width);
    l.numbers.push_back(c.number);
  }
  l.rows.reserve(pager_.page().size());
  for (const PageRow& r : pager_.page()) l.rows.push_back(r.cells);
  l.highlighted = pager_.highlighted();
  l.thumb = thumb_stop();
  l.page_rows = pager_.rows();
  return l;
}

template <class Def>
Rect Browse<Def>::place(int control) const {
  const Rect r = resizer_.place(control);
  return r == Rect{} ? WindowModel::place(control) : r;
}

}  // namespace mervane
