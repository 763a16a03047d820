#include "core/app/window_base.h"

#include <algorithm>
#include <charconv>

#include "core/util/concat.h"
#include "core/util/text.h"

namespace mervane {
namespace {

Parsed<Typed> accept(double number, std::string text) {
  return {Typed{number, std::move(text)}, {}};
}

Parsed<Typed> refused(std::string reason) {
  return {std::nullopt, std::move(reason)};
}

// A whole number written plainly ("3", "-1"), as option values are.
std::optional<double> plain_number(std::string_view s) {
  long long v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return static_cast<double>(v);
}

Parsed<Typed> read_entry(const std::string& picture, std::string_view text) {
  const std::optional<Picture> p = read_picture(picture);
  if (p && p->kind == PictureKind::Text) {
    Parsed<std::string> t = parse_text(picture, text);
    if (!t) return refused(t.reason);
    return accept(0, *t.value);
  }
  if (!p) return accept(0, std::string(clip(text)));  // an entry without a picture
  Parsed<double> v = parse_value(picture, text);
  if (!v) return refused(v.reason);
  return accept(*v.value, std::string(text));
}

}  // namespace

ControlList& ControlList::add(int id, ControlKind kind, std::string use, std::string text,
                              std::string picture) {
  ControlSpec c;
  c.id = id;
  c.kind = kind;
  c.use = std::move(use);
  c.text = std::move(text);
  c.picture = std::move(picture);
  c.parent = parent;
  controls_.push_back(std::move(c));
  return *this;
}

ControlList& ControlList::calendar_button(int id, std::string use) {
  add(id, ControlKind::Button, std::move(use));
  controls_.back().icon = kCalendarIcon;
  return *this;
}

ControlList& ControlList::at(Rect r) {
  if (!controls_.empty()) controls_.back().at = r;
  return *this;
}

int ControlList::decoration(ControlKind kind, std::string text) {
  const int id = next_++;
  add(id, kind, {}, std::move(text));
  return id;
}

int ControlList::prompt(std::string text) {
  return decoration(ControlKind::Prompt, std::move(text));
}

int ControlList::group(std::string text) {
  return decoration(ControlKind::Group, std::move(text));
}

int ControlList::image(std::string text) {
  return decoration(ControlKind::Image, std::move(text));
}

int ControlList::option(int group, std::string text, std::string value) {
  const int saved = parent;
  parent = group;
  const int id = decoration(ControlKind::Option, std::move(text));
  parent = saved;
  controls_.back().value = std::move(value);
  return id;
}

Parsed<Typed> read_typed(const std::vector<ControlSpec>& controls, int control,
                         std::string_view text, const std::vector<std::string>& choices) {
  const auto it = std::find_if(controls.begin(), controls.end(),
                               [&](const ControlSpec& c) { return c.id == control; });
  if (it == controls.end()) return refused({});
  switch (it->kind) {
    case ControlKind::Check:
      if (text == "1" || text == "0") return accept(text == "1" ? 1 : 0, std::string(text));
      return refused("A check box is either on (1) or off (0), not '" + std::string(text) + "'.");
    case ControlKind::OptionGroup:
      for (const ControlSpec& o : controls)
        if (o.kind == ControlKind::Option && o.parent == control && o.value == text)
          return accept(plain_number(text).value_or(0), std::string(text));
      return refused(concat({"'", text, "' is none of the choices here."}));
    case ControlKind::DropList:
      if (std::find(choices.begin(), choices.end(), text) != choices.end())
        return accept(plain_number(text).value_or(0), std::string(text));
      return refused(concat({"'", text, "' is not in the list."}));
    case ControlKind::Entry:
    case ControlKind::Combo:
      return read_entry(it->picture, text);
    default:
      return refused({});
  }
}

std::string shown(std::string_view picture, double value) {
  std::string s = format_value(picture, value);
  s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
  return s;
}

// ---- WindowModelBase ----

namespace {

// The reporter of a window that takes no entry: read_typed() refuses every entry there without
// a reason, so nothing reaches it; were something to, it would be answered by default.
class Silent final : public Reporter {
 public:
  Answer stop(std::string_view) override { return Answer::Ignore; }
  int warning(const Warning& w) override { return w.default_button; }
};

Silent kSilent;

}  // namespace

WindowModelBase::WindowModelBase() : reporter_(kSilent) {}

bool WindowModelBase::takes_event(int control) const {
  return enabled(control) && !hidden(control);
}

Reply WindowModelBase::close(Response r) {
  closed_ = true;
  response_ = r;
  return Reply::closed(r);
}

Reply WindowModelBase::accepted(int control) {
  if (closed_) return Reply::closed(response_);
  if (!takes_event(control)) return Reply::stay();
  return on_accepted(control);
}

Reply WindowModelBase::selecting(int control) {
  if (closed_) return Reply::closed(response_);
  if (!takes_event(control)) return Reply::stay();
  return on_selecting(control);
}

Reply WindowModelBase::key(KeyPress k) {
  if (closed_) return Reply::closed(response_);
  return on_key(k);
}

Reply WindowModelBase::close_request() {
  if (closed_) return Reply::closed(response_);
  return on_close_request();
}

Reply WindowModelBase::other_event(const OtherEvent& e) {
  if (closed_) return Reply::closed(response_);
  return on_other_event(e);
}

Reply WindowModelBase::type(int control, std::string_view text) {
  if (closed_) return Reply::closed(response_);
  if (!takes_event(control)) return Reply::stay();
  const Parsed<Typed> t = read_typed(controls(), control, text, choices(control));
  if (!t) {
    if (!t.reason.empty()) refuse(t.reason);
    return Reply::stay();
  }
  if (const std::string why = store(control, *t.value); !why.empty()) {
    refuse(why);
    return Reply::stay();
  }
  return on_accepted(control);
}

Reply WindowModelBase::ok_cancel_keys(KeyPress k, int ok, int cancel) {
  if (k.key == Key::Enter) return accepted(ok);
  if (k.key == Key::Esc) return accepted(cancel);
  return Reply::stay();
}

void WindowModelBase::refuse(std::string_view reason) {
  reporter_.warning({0, std::string(reason), title(), Icon::Exclamation, kOkButton, kOkButton});
}

}  // namespace mervane
