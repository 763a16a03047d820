// The page of a list over rows held in memory: filling near the ends, scrolling by rows and by
// more than a page, paging at either end, moving the highlight off the page, reading again after
// rows went away, and a source that fails.
#include "core/history/paging.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace mervane {
namespace {

// Rows 1 ... n in order, their ids their keys; a position is the index of the next row forward.
class Rows final : public RowSource {
 public:
  explicit Rows(int n) {
    for (int i = 1; i <= n; ++i) ids.push_back(i);
  }
  Status at_start() override { return place(0); }
  Status at_end() override { return place(ids.size()); }
  Status at(const PageRow& r) override { return place(lower(r.id)); }
  Status after(const PageRow& r) override { return place(lower(r.id + 1)); }
  Status read(bool forward, int count, std::vector<PageRow>& out) override {
    if (failing) return Status(36, "the disk is gone");
    for (int i = 0; i < count; ++i) {
      if (forward ? pos_ >= ids.size() : pos_ == 0) break;
      const std::int64_t id = forward ? ids[pos_++] : ids[--pos_];
      out.push_back({id, {std::to_string(id)}, {}});
    }
    return {};
  }

  std::vector<std::int64_t> ids;
  bool failing = false;

 private:
  std::size_t lower(std::int64_t id) const {
    return static_cast<std::size_t>(std::lower_bound(ids.begin(), ids.end(), id) - ids.begin());
  }
  Status place(std::size_t p) {
    pos_ = p;
    return {};
  }
  std::size_t pos_ = 0;
};

PageRow row(std::int64_t id) {
  return {id, {}, {}};
}

struct Case {
  const char* what;
  int rows;  // in the table
  int page;  // rows the page holds
  std::function<void(Pager&, Rows&)> act;
  std::vector<std::int64_t> shown;  // the page's ids afterwards
  std::int64_t highlighted;         // its highlighted id, 0 for none
};

TEST(Pager, ThePageAndItsHighlightAfterEachWayOfMoving) {
  const Case cases[] = {
      {"home", 10, 4, [](Pager& p, Rows&) { p.home(); }, {1, 2, 3, 4}, 1},
      {"end: the last page, the last row highlighted",
       10,
       4,
       [](Pager& p, Rows&) { p.end(); },
       {7, 8, 9, 10},
       10},
      {"fewer rows than the page", 3, 5, [](Pager& p, Rows&) { p.end(); }, {1, 2, 3}, 3},
      {"an empty table", 0, 5, [](Pager& p, Rows&) { p.home(); }, {}, 0},
      {"at a row, with rows before it",
       10,
       4,
       [](Pager& p, Rows&) { p.fill_at(row(5), 2); },
       {3, 4, 5, 6},
       5},
      {"at a row near the end: the page fills up from before",
       10,
       4,
       [](Pager& p, Rows&) { p.fill_at(row(9), 0); },
       {7, 8, 9, 10},
       9},
      {"at a row past the end",
       10,
       4,
       [](Pager& p, Rows&) { p.fill_at(row(99), 0); },
       {7, 8, 9, 10},
       10},
      {"scroll one row down and up",
       10,
       4,
       [](Pager& p, Rows&) {
         p.home();
         p.scroll(1);
         p.scroll(1);
         p.scroll(-1);
       },
       {2, 3, 4, 5},
       2},
      {"scroll by more than a page keeps the highlighted row of the page",
       20,
       4,
       [](Pager& p, Rows&) {
         p.home();
         p.highlight(2);
         p.scroll(9);
       },
       {10, 11, 12, 13},
       12},
      {"scroll past the end stops at the last page",
       10,
       4,
       [](Pager& p, Rows&) {
         p.home();
         p.scroll(9);
       },
       {7, 8, 9, 10},
       7},
      {"scroll up past the top stops at the first page",
       10,
       4,
       [](Pager& p, Rows&) {
         p.fill_at(row(6), 0);
         p.scroll(-11);
       },
       {1, 2, 3, 4},
       1},
      {"page down to a short last page completes it from before",
       10,
       4,
       [](Pager& p, Rows&) {
         p.home();
         p.page_down();
         p.page_down();
       },
       {7, 8, 9, 10},
       7},
      {"page down at the end highlights the last row",
       10,
       4,
       [](Pager& p, Rows&) {
         p.end();
         p.highlight(0);
         p.page_down();
       },
       {7, 8, 9, 10},
       10},
      {"page up to a short first page completes it from after",
       10,
       4,
       [](Pager& p, Rows&) {
         p.fill_at(row(3), 0);
         p.highlight(3);
         p.page_up();
       },
       {1, 2, 3, 4},
       4},
      {"page up at the top highlights the first row",
       10,
       4,
       [](Pager& p, Rows&) {
         p.home();
         p.highlight(3);
         p.page_up();
       },
       {1, 2, 3, 4},
       1},
      {"moving off the bottom scrolls",
       10,
       4,
       [](Pager& p, Rows&) {
         p.home();
         p.move(5);
       },
       {3, 4, 5, 6},
       6},
      {"moving off the top scrolls",
       10,
       4,
       [](Pager& p, Rows&) {
         p.fill_at(row(6), 0);
         p.move(-2);
       },
       {4, 5, 6, 7},
       4},
      {"reading again after rows went away keeps the highlight's row of the page",
       10,
       4,
       [](Pager& p, Rows& t) {
         p.fill_at(row(7), 0);
         p.highlight(3);
         t.ids.erase(
             std::remove_if(t.ids.begin(), t.ids.end(), [](std::int64_t id) { return id >= 9; }),
             t.ids.end());
         p.read_again();
       },
       {5, 6, 7, 8},
       8},
      {"reading again when every row went away",
       10,
       4,
       [](Pager& p, Rows& t) {
         p.home();
         t.ids.clear();
         p.read_again();
       },
       {},
       0},
      {"show a row on the page only highlights it",
       10,
       4,
       [](Pager& p, Rows&) {
         p.home();
         p.show(row(3), 0);
       },
       {1, 2, 3, 4},
       3},
      {"show a row off the page pages at it",
       10,
       4,
       [](Pager& p, Rows&) {
         p.home();
         p.show(row(8), 1);
       },
       {7, 8, 9, 10},
       8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rows table(c.rows);
    int errors = 0;
    Pager p(table, [&](const Status&) { ++errors; });
    p.set_rows(c.page);
    c.act(p, table);
    std::vector<std::int64_t> shown;
    for (const PageRow& r : p.page()) shown.push_back(r.id);
    EXPECT_EQ(shown, c.shown);
    const int h = p.highlighted();
    EXPECT_EQ(h < 0 ? 0 : p.page()[static_cast<std::size_t>(h)].id, c.highlighted);
    EXPECT_EQ(errors, 0);
  }
}

TEST(Pager, ASourceThatFailsLeavesThePageAsItWasAndSaysSo) {
  const std::function<void(Pager&)> moves[] = {
      [](Pager& p) { p.page_down(); },  [](Pager& p) { p.page_up(); },
      [](Pager& p) { p.scroll(2); },    [](Pager& p) { p.end(); },
      [](Pager& p) { p.read_again(); },
  };
  for (std::size_t i = 0; i < std::size(moves); ++i) {
    SCOPED_TRACE(i);
    Rows table(20);
    std::vector<Status> errors;
    Pager p(table, [&](const Status& st) { errors.push_back(st); });
    p.set_rows(4);
    p.fill_at(row(8), 1);
    table.failing = true;
    moves[i](p);
    ASSERT_EQ(p.page().size(), 4u);
    EXPECT_EQ(p.page().front().id, 7);
    EXPECT_EQ(p.highlighted(), 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].code, 36);
  }
}

}  // namespace
}  // namespace mervane
