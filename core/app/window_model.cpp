#include "core/app/window_model.h"

#include <algorithm>

namespace mervane {
namespace {

std::string trimmed_label(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    // "&&" shows one ampersand; a single "&" only marks the mnemonic.
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += text[++i];
      continue;
    }
    out += text[i] == '\n' ? ' ' : text[i];
  }
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::vector<std::string> WindowModel::choices(int /*control*/) const {
  return {};
}

ListState WindowModel::list(int /*control*/) const {
  return {};
}

Rect WindowModel::place(int control) const {
  const ControlSpec* c = control_def(control);
  return c ? c->at : Rect{};
}

const ControlSpec* WindowModel::control_def(int control) const {
  const auto& all = controls();
  auto it = std::find_if(all.begin(), all.end(), [&](const ControlSpec& c) { return c.id == control; });
  return it == all.end() ? nullptr : &*it;
}

WindowState WindowModel::state() const {
  WindowState w;
  w.title = title();
  w.frame = frame();
  const auto& all = controls();
  w.controls.reserve(all.size());
  for (const ControlSpec& c : all) {
    ControlState s;
    s.value = value(c.id);
    s.enabled = enabled(c.id);
    s.hidden = hidden(c.id);
    s.at = place(c.id);
    if (c.kind == ControlKind::DropList || c.kind == ControlKind::Combo ||
        c.kind == ControlKind::List) {
      s.choices = choices(c.id);
      s.list = list(c.id);
    }
    w.controls.push_back(std::move(s));
  }
  w.focus = focus();
  w.closed = closed();
  return w;
}

std::string accessible_name(const std::vector<ControlSpec>& controls, std::size_t index) {
  if (index >= controls.size()) return {};
  std::string own = trimmed_label(controls[index].text);
  if (!own.empty()) return own;
  const int parent = controls[index].parent;
  for (std::size_t i = index; i-- > 0;) {
    if (controls[i].kind == ControlKind::Prompt && controls[i].parent == parent)
      return trimmed_label(controls[i].text);
  }
  for (const ControlSpec& c : controls)
    if (parent != 0 && c.id == parent) return trimmed_label(c.text);
  return {};
}

std::string accessible_description(const ControlSpec& c) {
  std::string_view use = c.use;
  if (!use.empty() && use.front() == '?') use.remove_prefix(1);
  return std::string(use);
}

}  // namespace mervane
