// What every list window (browse) has in common, apart from its table: the controls, numbered
// in window order, their places, and how the page rows follow the list's height.
#pragma once

#include <string>
#include <vector>

#include "core/app/window_model.h"

namespace mervane {

// The controls of a list window. A window has only the tabs of its sort orders, and only the
// buttons it has (the preview list: the tabs, the list and "Close").
enum class BrowseControl : int {
  CURRENTTAB = 1,  // the sheet of tabs; value(): the chosen tab, from 0
  TAB1,
  TAB2,
  TAB3,
  BROWSE_1,  // the list; list() gives the page
  INSERT,
  CHANGE,
  DELETE,
  SELECT,  // always hidden: no caller asks a list to pick a record
  CLOSE,
  EXTRA,  // "Modify Swap Details  (F6)" (?BUTTON6) or "Import from Swaprate.CSV" (?IMPORT)
};

struct BrowseButton {
  std::string text;  // as shown, "&" marking the mnemonic
  std::string use;   // "?BUTTON6"
};

// The shape of a list window: its tabs (captions), column headers and widths, whether it has
// the Insert / Change / Delete buttons (a form), its extra button.
struct BrowseShape {
  std::vector<std::string> tabs;
  bool edits = true;
  std::string close_text = "E&xit (Esc)";
  BrowseButton extra;  // text empty: none
};

// The controls of a list window of that shape, placed in dialog units.
std::vector<ControlSpec> browse_controls(const BrowseShape& shape);

// The size of every list window, in dialog units.
constexpr Rect kBrowseWindow{0, 0, 480, 236};

// Rows a list of the given height shows: a header row and rows of ten dialog units.
int browse_page_rows(int list_height);

}  // namespace mervane
