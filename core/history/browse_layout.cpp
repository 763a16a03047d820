#include "core/history/browse_layout.h"

#include <algorithm>

#include "core/app/window_base.h"

namespace mervane {

namespace {
constexpr int kRowHeight = 10;
constexpr int kButtonY = 214;
constexpr int kButtonH = 14;
}  // namespace

int browse_page_rows(int list_height) {
  return std::max(1, (list_height - kRowHeight) / kRowHeight);
}

std::vector<ControlSpec> browse_controls(const BrowseShape& shape) {
  using C = BrowseControl;
  using K = ControlKind;
  ControlList l(100);
  const Rect sheet{4, 4, 472, 204};
  l.add(number(C::CURRENTTAB), K::Tabs, "?CurrentTab").at(sheet);
  l.parent = number(C::CURRENTTAB);
  for (std::size_t i = 0; i < shape.tabs.size() && i < 3; ++i)
    l.add(number(C::TAB1) + static_cast<int>(i), K::Tab, "?Tab:" + std::to_string(i + 1),
          shape.tabs[i])
        .at(sheet);
  l.parent = 0;
  l.add(number(C::BROWSE_1), K::List, "?BROWSE:1", "Browsing Records").at({8, 20, 464, 184});
  auto button = [&](C id, std::string use, std::string text, Rect at) {
    l.add(number(id), K::Button, std::move(use), std::move(text)).at(at);
  };
  if (shape.edits) {
    button(C::INSERT, "?INSERT", "&Insert (Ins)", {226, kButtonY, 56, kButtonH});
    button(C::CHANGE, "?CHANGE", "&Change (Enter)", {286, kButtonY, 64, kButtonH});
    button(C::DELETE, "?DELETE", "&Delete (Del)", {354, kButtonY, 56, kButtonH});
    button(C::SELECT, "?SELECT", "&Select", {166, kButtonY, 56, kButtonH});
  }
  button(C::CLOSE, "?CLOSE", shape.close_text, {416, kButtonY, 56, kButtonH});
  if (!shape.extra.text.empty())
    button(C::EXTRA, shape.extra.use, shape.extra.text, {8, kButtonY, 104, kButtonH});
  return l.take();
}

}  // namespace mervane
