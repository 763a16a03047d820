#include "core/history/browse_layout.h"

#include <algorithm>

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
  std::vector<ControlSpec> out;
  const Rect sheet{4, 4, 472, 204};
  out.push_back({number(C::CURRENTTAB), ControlKind::Tabs, "?CurrentTab", "", "", 0, sheet, ""});
  for (std::size_t i = 0; i < shape.tabs.size() && i < 3; ++i) {
    const int id = number(C::TAB1) + static_cast<int>(i);
    out.push_back({id, ControlKind::Tab, "?Tab:" + std::to_string(i + 1), shape.tabs[i], "",
                   number(C::CURRENTTAB), sheet, ""});
  }
  out.push_back({number(C::BROWSE_1), ControlKind::List, "?Browse:1", "Browsing Records", "", 0,
                 {8, 20, 464, 184}, ""});
  auto button = [&](C id, std::string use, std::string text, Rect at) {
    out.push_back({number(id), ControlKind::Button, std::move(use), std::move(text), "", 0, at, ""});
  };
  if (shape.edits) {
    button(C::INSERT, "?Insert", "&Insert (Ins)", {226, kButtonY, 56, kButtonH});
    button(C::CHANGE, "?Change", "&Change (Enter)", {286, kButtonY, 64, kButtonH});
    button(C::DELETE, "?Delete", "&Delete (Del)", {354, kButtonY, 56, kButtonH});
    button(C::SELECT, "?Select", "&Select", {166, kButtonY, 56, kButtonH});
  }
  button(C::CLOSE, "?Close", shape.close_text, {416, kButtonY, 56, kButtonH});
  if (!shape.extra.text.empty()) button(C::EXTRA, shape.extra.use, shape.extra.text,
                                        {8, kButtonY, 104, kButtonH});
  return out;
}

}  // namespace mervane
