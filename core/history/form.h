// A record form: the edit window of one record of a keyed table, called by its list with a
// request (GLOBALREQUEST in the Session: insert, change or delete, with the record's position)
// and answering completed or cancelled (GLOBALRESPONSE, with the position of the record it
// stored).
//
// - Insert: the fields start blank. Change: the form reads the record at the position through
//   its own opener, and keeps a copy to see what the user changed. Delete: the window is never
//   shown; open() asks for confirmation (warning 32), deletes through RIDELETE and offers to try
//   again when that fails (warning 18), and closes.
// - The title is the action ("Adding a Swaprate Record", "Changing a Swaprate Record").
// - Each entry shows its field through its picture (value(): the text without the blanks the
//   picture puts in front); typed text is read by the picture, and what it refuses is refused
//   with a message naming why, the field keeping the cursor. OK checks every entry again.
// - OK on insert adds the record: a repeated key shows warning 24 naming the key ("SWR:KeyPair"),
//   another failure warning 14, and the cursor goes back to the first field. OK on change writes
//   nothing when nothing changed; else it checks the key first (warning 24 when the new key is
//   another record's), then writes through RIUPDATE: a failure asks whether to try again
//   (warning 16: Yes tries again, No closes cancelled, Cancel stays); a record another window
//   changed since it was read is not written (warning 38): the stored version is shown and the
//   form stays open, the user's version becoming what Ctrl+' recalls.
// - Ctrl+' (Key::Ditto) puts into the field with the cursor its value in the record this kind
//   of form stored last in the run.
// - A record whose key fields are all blank would be left out of its key, so no list could show
//   it: such a record is refused on OK, except where the form allows it.
//
// Used by one thread at a time (see window_model.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/record_services.h"
#include "core/app/window_base.h"
#include "core/app/window_model.h"
#include "core/app/windows.h"
#include "core/model/session.h"
#include "core/runtime/field_access.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"
#include "core/setup/window_resize.h"

namespace mervane {

// An entry field or check box bound to one field of the record.
template <class Record>
struct FormField {
  int control = 0;
  std::function<std::string(const Record&)> show;    // the value as the control shows it
  std::function<void(Record&, const Typed&)> set;    // stores an entry read_typed() took
  std::function<void(const Record&, Record&)> copy;  // this field from one record to another
};

template <class Record, class T>
FormField<Record> entry_field(int control, std::string picture, T Record::*m) {
  FormField<Record> f;
  f.control = control;
  f.copy = [m](const Record& from, Record& to) { to.*m = from.*m; };
  if constexpr (std::is_arithmetic_v<T>) {
    f.show = [m, picture](const Record& r) { return shown(picture, static_cast<double>(r.*m)); };
    f.set = [m](Record& r, const Typed& t) { r.*m = static_cast<T>(t.number); };
  } else {
    f.show = [m](const Record& r) { return (r.*m).str(); };
    f.set = [m](Record& r, const Typed& t) { r.*m = t.text; };
  }
  return f;
}

template <class Record>
FormField<Record> check_field(int control, std::int16_t Record::*m) {
  FormField<Record> f;
  f.control = control;
  f.copy = [m](const Record& from, Record& to) { to.*m = from.*m; };
  f.show = [m](const Record& r) { return std::string(r.*m ? "1" : "0"); };
  f.set = [m](Record& r, const Typed& t) { r.*m = t.number != 0 ? 1 : 0; };
  return f;
}

template <class Def>
struct FormSpec {
  using Record = typename Def::Record;
  std::string title;        // the window's own title: "Update Swap Rate"
  std::string record_name;  // "Swaprate": the action titles and the table name in messages
  typename Def::Key unique_key{};
  std::string key_name;  // as warning 24 names it: "SWR:KeyPair"
  std::vector<ControlSpec> controls;
  Rect frame;  // the window's size
  std::vector<FormField<Record>> fields;
  int ok = 0;
  int cancel = 0;
  // Refusal of a record whose key fields are all blank; empty: such records are allowed.
  std::string blank_key_message;
  bool include_unkeyed = false;  // the table's reading and key checks include them
};

template <class Def>
class RecordForm : public WindowModelBase {
 public:
  using Record = typename Def::Record;

  RecordForm(FormSpec<Def> def, Session& s, Windows& w, Reporter& r);
  ~RecordForm() override { finish(Response::Cancelled); }
  RecordForm(const RecordForm&) = delete;
  RecordForm& operator=(const RecordForm&) = delete;

  const std::vector<ControlSpec>& controls() const override { return def_.controls; }
  std::string title() const override;
  void open() override;
  std::string value(int control) const override;
  bool enabled(int) const override { return !closed(); }
  int focus() const override { return focus_; }
  Frame frame() const override { return {def_.frame, false}; }
  Rect place(int control) const override;

  // The record as the fields hold it, and the request the form works on.
  const Record& record() const { return rec_; }
  Request request() const { return request_; }

 protected:
  Reply on_accepted(int control) override;
  Reply on_selecting(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return finish(Response::Cancelled); }
  Reply on_other_event(const OtherEvent& e) override;
  std::string store(int control, const Typed& value) override;

  // A member's own controls: buttons, previews. Answer true when the control was its own.
  virtual bool own_button(int /*control*/) { return false; }
  virtual bool own_key(KeyPress /*k*/) { return false; }
  virtual std::string own_value(int /*control*/) const { return {}; }
  // Runs after the fields were checked on OK, before the record is stored.
  virtual void before_save() {}

  Record& fields() { return rec_; }
  Session& session() { return s_; }
  const Session& session() const { return s_; }
  Windows& windows() { return w_; }
  void focus_on(int control) { focus_ = control; }
  const FormField<Record>* field(int control) const;
  int first_field() const { return def_.fields.empty() ? 0 : def_.fields.front().control; }

 private:
  Reply ok();
  Reply finish(Response r, std::int64_t position = 0);
  void delete_record(std::int64_t position);
  bool refused(const std::string& reason, int control);
  bool key_repeated(std::int64_t except);
  bool key_blank() const;

  FormSpec<Def> def_;
  Session& s_;
  Windows& w_;
  Table<Def> t_;
  WindowResizeType resizer_;
  Request request_ = Request::None;
  Record rec_{};
  Record saved_{};
  std::int64_t position_ = 0;
  int focus_ = 0;
  bool opened_ = false;
};

// ---- implementation ----

template <class Def>
RecordForm<Def>::RecordForm(FormSpec<Def> def, Session& s, Windows& w, Reporter& r)
    : WindowModelBase(r), def_(std::move(def)), s_(s), w_(w), t_(s.folder()) {
  focus_ = first_field();
}

template <class Def>
std::string RecordForm<Def>::title() const {
  switch (request_) {
    case Request::Insert:
      return "Adding a " + def_.record_name + " Record";
    case Request::Change:
      return "Changing a " + def_.record_name + " Record";
    default:
      return def_.title;
  }
}

template <class Def>
const FormField<typename Def::Record>* RecordForm<Def>::field(int control) const {
  for (const auto& f : def_.fields)
    if (f.control == control) return &f;
  return nullptr;
}

template <class Def>
void RecordForm<Def>::open() {
  if (opened_ || closed()) return;
  const FormRequest rq = s_.take_request();
  request_ = rq.request;
  open_for_screen(t_, reporter_, s_);
  opened_ = true;
  t_.include_unkeyed(def_.include_unkeyed);
  resizer_.initialize(WindowResizeType::kSpreadStrategy, def_.frame, def_.controls);
  // A date picker's button is part of its date entry rather than a button of the window: it
  // moves as the entry does (a kept-size push button would stay put while the entry widens
  // under it).
  for (const ControlSpec& c : def_.controls)
    if (c.icon == kCalendarIcon)
      resizer_.set_strategy(c.id, resize_rule::kScale,
                            resize_rule::kKeepWidth | resize_rule::kKeepHeight);
  switch (request_) {
    case Request::Insert:
      rec_ = saved_ = Record{};
      return;
    case Request::Change:
    case Request::Delete: {
      const Status st = t_.get_at(rq.position);
      if (st.failed()) {
        ri_save_error(s_, st);
        standard_warning(reporter_, s_, 35, def_.record_name);
        finish(Response::Cancelled);
        return;
      }
      rec_ = saved_ = t_.rec;
      position_ = rq.position;
      if (request_ == Request::Delete) delete_record(rq.position);
      return;
    }
    default:
      finish(Response::Cancelled);
      return;
  }
}

template <class Def>
void RecordForm<Def>::delete_record(std::int64_t position) {
  if (standard_warning(reporter_, s_, 32) != kOkButton) {
    finish(Response::Cancelled);
    return;
  }
  for (;;) {
    if (ri_delete(t_, reporter_, s_, def_.record_name) == 0) {
      finish(Response::Completed, position);
      return;
    }
    if (standard_warning(reporter_, s_, 18) != kYesButton) {
      finish(Response::Cancelled);
      return;
    }
    // Read the record again for the next try: the failed one may have left no record last read.
    if (t_.get_at(position).failed()) {
      finish(Response::Cancelled);
      return;
    }
  }
}

template <class Def>
Reply RecordForm<Def>::finish(Response r, std::int64_t position) {
  if (closed()) return Reply::closed(r);
  if (opened_) {
    s_.set_response(static_cast<int>(r), r == Response::Completed ? position : 0);
    close_for_screen(t_, s_);
  }
  return close(r);
}

template <class Def>
bool RecordForm<Def>::refused(const std::string& reason, int control) {
  if (reason.empty()) return false;
  refuse(reason);
  focus_ = control;
  return true;
}

template <class Def>
std::string RecordForm<Def>::store(int control, const Typed& value) {
  if (const FormField<Record>* f = field(control)) f->set(rec_, value);
  return {};
}

template <class Def>
bool RecordForm<Def>::key_blank() const {
  for (int col : Def::schema().keys[static_cast<std::size_t>(def_.unique_key)].columns) {
    const FieldValue v = field_value(rec_, col);
    if (const auto* s = std::get_if<std::string>(&v); s && !s->empty()) return false;
    if (const auto* n = std::get_if<std::int64_t>(&v); n && *n != 0) return false;
  }
  return true;
}

template <class Def>
bool RecordForm<Def>::key_repeated(std::int64_t except) {
  bool taken = false;
  const Status st = t_.key_taken(def_.unique_key, rec_, except, taken);
  if (st.failed() || !taken) return false;  // a failing check leaves it to the write
  standard_warning(reporter_, s_, 24, def_.key_name);
  focus_ = first_field();
  return true;
}

template <class Def>
Reply RecordForm<Def>::ok() {
  // Every entry once more by its picture: values read from the table or recalled may not fit.
  for (const auto& f : def_.fields) {
    const Parsed<Typed> t = read_typed(def_.controls, f.control, f.show(rec_));
    if (!t && refused(t.reason, f.control)) return Reply::stay();
  }
  if (!def_.blank_key_message.empty() && key_blank() &&
      refused(def_.blank_key_message, first_field()))
    return Reply::stay();
  before_save();
  if (request_ == Request::Insert) {
    if (key_repeated(0)) return Reply::stay();
    t_.rec = rec_;
    const Status st = t_.add();
    if (st.is_ok()) {
      s_.set_ditto(rec_);
      return finish(Response::Completed, t_.row_id());
    }
    ri_save_error(s_, st);
    standard_warning(reporter_, s_, st.code == kDuplicateKey ? 24 : 14,
                     st.code == kDuplicateKey ? def_.key_name : std::string());
    focus_ = first_field();
    return Reply::stay();
  }
  if (rec_ == saved_) return finish(Response::Completed, position_);
  if (key_repeated(position_)) return Reply::stay();
  for (;;) {
    t_.rec = rec_;
    switch (ri_update(t_, reporter_, s_, def_.record_name, true)) {
      case 0:
        s_.set_ditto(rec_);
        return finish(Response::Completed, position_);
      case 2:
        // Warning 38 has been shown: the stored version takes the fields, and Ctrl+' recalls
        // what the user had typed, as the message says.
        s_.set_ditto(rec_);
        rec_ = saved_ = t_.rec;
        return Reply::stay();
      default:
        switch (standard_warning(reporter_, s_, 16)) {
          case kYesButton:
            continue;
          case kNoButton:
            return finish(Response::Cancelled);
          default:
            return Reply::stay();
        }
    }
  }
}

template <class Def>
Reply RecordForm<Def>::on_accepted(int control) {
  if (control == def_.ok) return ok();
  if (control == def_.cancel) return finish(Response::Cancelled);
  own_button(control);
  return Reply::stay();
}

template <class Def>
Reply RecordForm<Def>::on_selecting(int control) {
  if (control_def(control)) focus_ = control;
  return Reply::stay();
}

template <class Def>
Reply RecordForm<Def>::on_key(KeyPress k) {
  if (own_key(k)) return Reply::stay();
  switch (k.key) {
    case Key::Enter:
      return ok();
    case Key::Esc:
      return finish(Response::Cancelled);
    case Key::Ditto: {
      const int control = k.control ? k.control : focus_;
      const FormField<Record>* f = field(control);
      const std::optional<Record> last = s_.ditto<Record>();
      if (f && last) f->copy(*last, rec_);
      return Reply::stay();
    }
    default:
      return Reply::stay();
  }
}

template <class Def>
Reply RecordForm<Def>::on_other_event(const OtherEvent& e) {
  if (e.kind == OtherEvent::Kind::Resized) resizer_.resize({0, 0, e.width, e.height});
  return Reply::stay();
}

template <class Def>
std::string RecordForm<Def>::value(int control) const {
  if (const FormField<Record>* f = field(control)) return f->show(rec_);
  return own_value(control);
}

template <class Def>
Rect RecordForm<Def>::place(int control) const {
  const Rect r = resizer_.place(control);
  return r == Rect{} ? WindowModel::place(control) : r;
}

}  // namespace mervane
