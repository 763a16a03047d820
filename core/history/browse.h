// A list window (browse) over one keyed table: one page of rows read in the order of the
// chosen tab's key, from the current position, never the whole table.
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
class Browse : public WindowModelBase {
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
  const std::vector<Row>& page() const { return page_; }
  int highlighted() const { return highlight_; }
  int tab() const { return tab_; }
  int page_rows() const { return page_rows_; }

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return shut(); }
  Reply on_other_event(const OtherEvent& e) override;
  std::string store(int, const Typed&) override { return {}; }  // a list takes no entry

 private:
  TableKey order_key() const { return def_.tabs[static_cast<std::size_t>(tab_)].key; }
  Reply shut();

  // Reading rows: `count` records forward or backward from the position already set.
  bool read(bool forward, int count, std::vector<Row>& out);
  Row row_of(const Record& rec, std::int64_t id) const;
  // Fills the page forward from a position that `position` sets, the first record read at row
  // `row` when there are records before it, filling up from before when the end comes first.
  // False (and the page as it was) when it cannot be read.
  bool fill(const std::function<Status()>& position, int row);
  bool fill_at(const Record& rec, std::int64_t id, int row) {
    return fill([&] { return t_.set_at(order_key(), rec, id); }, row);
  }
  void view_error(const Status& st);

  void home();
  void end();
  void scroll(int rows);
  void page_down();
  void page_up();
  void move(int rows);
  void thumb(int stop);
  void locate(char ch, bool again);
  void choose_tab(int tab);
  void read_again();  // the page as it was, from its first row
  void show_record(const Record& rec, std::int64_t id, int row);

  // The leading field of the current key, and a record with the lowest value in every field of
  // the key (to position at a value of the leading field).
  int leading_column() const;
  Record lowest() const;
  std::string leading_text(const Record& r) const;
  bool begins_with(const Record& r, char ch) const;
  // The first record whose leading field begins with ch, after the given row when there is one.
  std::optional<Row> first_beginning_with(char ch, const Row* after);
  void make_stops();
  int thumb_stop() const;

  Reply request(Request rq);

  BrowseSpec<Def> def_;
  Session& s_;
  Windows& w_;
  Table<Def> t_;
  std::vector<ControlSpec> controls_;
  WindowResizeType resizer_;
  bool opened_ = false;
  int tab_ = 0;
  int page_rows_ = 0;
  bool rows_told_ = false;  // the view measured the rows; the height no longer decides
  std::vector<Row> page_;
  int highlight_ = -1;
  char located_ = 0;  // the character the last event located by, 0 for any other event
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
  page_rows_ = browse_page_rows(WindowModel::place(number(BrowseControl::BROWSE_1)).h);
}

template <class Def>
void Browse<Def>::open() {
  if (opened_) return;
  open_for_screen(t_, reporter_, s_);
  opened_ = true;
  t_.include_unkeyed(def_.include_unkeyed);
  resizer_.initialize(WindowResizeType::kSpreadStrategy, kBrowseWindow, controls_);
  make_stops();
  home();
}

template <class Def>
Reply Browse<Def>::shut() {
  if (closed()) return Reply::closed(Response::Cancelled);
  if (opened_) close_for_screen(t_, s_);
  return close(Response::Cancelled);
}

template <class Def>
typename Browse<Def>::Row Browse<Def>::row_of(const Record& rec, std::int64_t id) const {
  Row row{rec, id, {}};
  row.cells.reserve(def_.columns.size());
  for (const auto& c : def_.columns) row.cells.push_back(c.cell(rec));
  return row;
}

template <class Def>
bool Browse<Def>::read(bool forward, int count, std::vector<Row>& out) {
  if (count <= 0) return true;
  t_.read_ahead(count);
  for (int i = 0; i < count; ++i) {
    const Status st = forward ? t_.next() : t_.previous();
    if (st.code == kRecordNotAvailable) break;
    if (st.failed()) {
      view_error(st);
      return false;
    }
    out.push_back(row_of(t_.rec, t_.row_id()));
  }
  return true;
}

template <class Def>
void Browse<Def>::view_error(const Status& st) {
  ri_save_error(s_, st);
  standard_warning(reporter_, s_, 36);
}

template <class Def>
bool Browse<Def>::fill(const std::function<Status()>& position, int row) {
  std::vector<Row> fwd, back;
  if (Status st = position(); st.failed()) {
    view_error(st);
    return false;
  }
  if (!read(true, page_rows_, fwd)) return false;
  const int want_back =
      std::max(std::min(row, page_rows_ - 1), page_rows_ - static_cast<int>(fwd.size()));
  if (want_back > 0) {
    const Status st =
        fwd.empty() ? t_.set_end(order_key()) : t_.set_at(order_key(), fwd[0].rec, fwd[0].id);
    if (st.failed()) {
      view_error(st);
      return false;
    }
    if (!read(false, want_back, back)) return false;
  }
  std::vector<Row> page;
  page.reserve(static_cast<std::size_t>(page_rows_));
  for (auto it = back.rbegin(); it != back.rend(); ++it) page.push_back(std::move(*it));
  for (auto& r : fwd) {
    if (static_cast<int>(page.size()) >= page_rows_) break;
    page.push_back(std::move(r));
  }
  page_ = std::move(page);
  if (page_.empty())
    highlight_ = -1;
  else if (fwd.empty())
    highlight_ = static_cast<int>(page_.size()) - 1;
  else
    highlight_ = static_cast<int>(back.size());
  return true;
}

template <class Def>
void Browse<Def>::home() {
  fill([&] { return t_.set_start(order_key()); }, 0);
}

template <class Def>
void Browse<Def>::end() {
  fill([&] { return t_.set_end(order_key()); }, 0);
}

template <class Def>
void Browse<Def>::read_again() {
  const int keep = highlight_;
  if (page_.empty()) {
    home();
  } else {
    const Row first = page_.front();
    fill_at(first.rec, first.id, 0);
  }
  if (!page_.empty()) highlight_ = std::clamp(keep, 0, static_cast<int>(page_.size()) - 1);
}

template <class Def>
void Browse<Def>::scroll(int rows) {
  if (page_.empty() || rows == 0) return;
  while (rows >= page_rows_) {
    page_down();
    rows -= page_rows_;
  }
  while (rows <= -page_rows_) {
    page_up();
    rows += page_rows_;
  }
  if (rows == 0) return;
  std::vector<Row> more;
  const bool down = rows > 0;
  const Row& edge = down ? page_.back() : page_.front();
  // After the last row: at (its values, its position + 1), positions being whole numbers.
  const Status st = t_.set_at(order_key(), edge.rec, down ? edge.id + 1 : edge.id);
  if (st.failed()) return view_error(st);
  if (!read(down, down ? rows : -rows, more)) return;
  const auto n = static_cast<std::ptrdiff_t>(std::min(more.size(), page_.size()));
  if (n == 0) return;
  if (down) {
    page_.erase(page_.begin(), page_.begin() + n);
    for (auto& r : more) page_.push_back(std::move(r));
  } else {
    page_.erase(page_.end() - n, page_.end());
    for (auto& r : more) page_.insert(page_.begin(), std::move(r));
  }
}

template <class Def>
void Browse<Def>::page_down() {
  if (page_.empty()) return home();
  const int keep = highlight_;
  const Row last = page_.back();
  std::vector<Row> more;
  if (Status st = t_.set_at(order_key(), last.rec, last.id + 1); st.failed()) return view_error(st);
  if (!read(true, page_rows_, more)) return;
  if (more.empty()) {  // already at the end
    highlight_ = static_cast<int>(page_.size()) - 1;
    return;
  }
  if (static_cast<int>(more.size()) < page_rows_) {
    // The end comes first: the last page, the rows before completing it.
    const auto keep_rows =
        std::min(page_.size(), static_cast<std::size_t>(page_rows_) - more.size());
    page_.erase(page_.begin(), page_.end() - static_cast<std::ptrdiff_t>(keep_rows));
    for (auto& r : more) page_.push_back(std::move(r));
  } else {
    page_ = std::move(more);
  }
  highlight_ = std::clamp(keep, 0, static_cast<int>(page_.size()) - 1);
}

template <class Def>
void Browse<Def>::page_up() {
  if (page_.empty()) return home();
  const int keep = highlight_;
  const Row first = page_.front();
  std::vector<Row> more;
  if (Status st = t_.set_at(order_key(), first.rec, first.id); st.failed()) return view_error(st);
  if (!read(false, page_rows_, more)) return;
  if (more.empty()) {  // already at the top
    highlight_ = 0;
    return;
  }
  std::vector<Row> page;
  for (auto it = more.rbegin(); it != more.rend(); ++it) page.push_back(std::move(*it));
  for (std::size_t i = 0; static_cast<int>(page.size()) < page_rows_ && i < page_.size(); ++i)
    page.push_back(std::move(page_[i]));
  page_ = std::move(page);
  highlight_ = std::clamp(keep, 0, static_cast<int>(page_.size()) - 1);
}

template <class Def>
void Browse<Def>::move(int rows) {
  if (page_.empty()) return;
  const int to = highlight_ + rows;
  const int last = static_cast<int>(page_.size()) - 1;
  if (to < 0) {
    scroll(to);
    highlight_ = 0;
  } else if (to > last) {
    scroll(to - last);
    highlight_ = static_cast<int>(page_.size()) - 1;
  } else {
    highlight_ = to;
  }
}

template <class Def>
void Browse<Def>::show_record(const Record& rec, std::int64_t id, int row) {
  for (std::size_t i = 0; i < page_.size(); ++i)
    if (page_[i].id == id) {
      highlight_ = static_cast<int>(i);
      return;
    }
  fill_at(rec, id, row);
}

template <class Def>
void Browse<Def>::choose_tab(int tab) {
  if (tab < 0 || tab >= static_cast<int>(def_.tabs.size()) || tab == tab_) return;
  const std::optional<Row> kept =
      highlight_ >= 0 ? std::optional<Row>(page_[static_cast<std::size_t>(highlight_)])
                      : std::nullopt;
  const int row = std::max(highlight_, 0);
  tab_ = tab;
  make_stops();
  if (!kept || !fill_at(kept->rec, kept->id, row)) home();
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
std::optional<typename Browse<Def>::Row> Browse<Def>::first_beginning_with(char ch,
                                                                           const Row* after) {
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
      after && !text ? std::get<std::int64_t>(field_value(after->rec, col)) : 0;
  for (const std::int64_t start : starts) {
    Status st;
    // From the start of the range, or just after the given row when that lies further on.
    if (after && (text || start <= after_value)) {
      st = t_.set_at(order_key(), after->rec, after->id + 1);
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
  std::optional<Row> found;
  if (again && highlight_ >= 0) {
    // Typed again on such a record: the next one, and from the last back to the first.
    const Row cur = page_[static_cast<std::size_t>(highlight_)];
    if (begins_with(cur.rec, ch)) found = first_beginning_with(ch, &cur);
  }
  if (!found) found = first_beginning_with(ch, nullptr);
  if (found) show_record(found->rec, found->id, 0);
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
  if (page_.empty()) return 0;
  const FieldValue v = field_value(page_.front().rec, leading_column());
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
    return home();
  }
  fill([&] { return t_.set_at(order_key(), probe, INT64_MIN + 1); }, 0);
}

template <class Def>
Reply Browse<Def>::request(Request rq) {
  if (!def_.form) return Reply::stay();
  std::int64_t position = 0;
  if (rq != Request::Insert) {
    if (highlight_ < 0) return Reply::stay();
    position = page_[static_cast<std::size_t>(highlight_)].id;
    // The record as stored now, for the form.
    const Status st = t_.get_at(position);
    if (st.code == kRecordNotFound) {  // another window deleted it
      read_again();
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
    const Record rec = t_.rec;
    fill_at(rec, answer.position, std::max(highlight_, 0));
  } else {
    read_again();
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
        read_again();
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
      move(-1);
      break;
    case Key::Down:
      move(1);
      break;
    case Key::PageUp:
      page_up();
      break;
    case Key::PageDown:
      page_down();
      break;
    case Key::Home:
      home();
      break;
    case Key::End:
      end();
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
      if (e.value >= 0 && e.value < static_cast<int>(page_.size())) highlight_ = e.value;
      break;
    case OtherEvent::Kind::RowActivated:
      if (e.value >= 0 && e.value < static_cast<int>(page_.size())) {
        highlight_ = e.value;
        return accepted(number(BrowseControl::CHANGE));
      }
      break;
    case OtherEvent::Kind::Scroll:
      scroll(e.value);
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
        if (rows != page_rows_) {
          page_rows_ = rows;
          read_again();
        }
      }
      break;
    case OtherEvent::Kind::PageRows:
      if (e.value > 0) {
        rows_told_ = true;
        if (e.value != page_rows_) {
          page_rows_ = e.value;
          read_again();
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
    return highlight_ >= 0;
  return true;
}

template <class Def>
ListState Browse<Def>::list(int control) const {
  ListState l;
  if (control != number(BrowseControl::BROWSE_1)) return l;
  for (const auto& c : def_.columns) {
    l.headers.push_back(c.header);
    l.widths.push_back(c.width);
  }
  l.rows.reserve(page_.size());
  for (const Row& r : page_) l.rows.push_back(r.cells);
  l.highlighted = highlight_;
  l.thumb = thumb_stop();
  l.page_rows = page_rows_;
  return l;
}

template <class Def>
Rect Browse<Def>::place(int control) const {
  const Rect r = resizer_.place(control);
  return r == Rect{} ? WindowModel::place(control) : r;
}

}  // namespace mervane
