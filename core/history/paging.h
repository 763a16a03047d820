// The page of a list window: the rows it shows, read from a source of rows in the order of the
// list's current key, never the whole table. Scrolling reads only the rows that come into view;
// the page stays full wherever the rows allow (near the end it fills up from before), and one
// row is highlighted while the page has any.
//
// The pager knows nothing of tables or records: a RowSource positions and reads rows, each with
// its position in the table, its cells as shown and its record, which only the source reads.
// A source that fails hands back its Status; the pager gives it to the error callback and keeps
// the page as it was.
//
// Used by one thread at a time, the list's.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/runtime/status.h"

namespace mervane {

struct PageRow {
  std::int64_t id = 0;             // the record's position in its table
  std::vector<std::string> cells;  // as the list shows them
  std::any record;                 // the record as read, for the source
};

class RowSource {
 public:
  virtual ~RowSource() = default;
  // Positions: before the first row, after the last, just before row r (reading forward gives
  // r first, backward the row before it), just after row r.
  virtual Status at_start() = 0;
  virtual Status at_end() = 0;
  virtual Status at(const PageRow& r) = 0;
  virtual Status after(const PageRow& r) = 0;
  // Reads up to `count` rows on from the position, forward or backward, appending them to out
  // in the order read; fewer at the end of the rows. A failure ends the read.
  virtual Status read(bool forward, int count, std::vector<PageRow>& out) = 0;
};

class Pager {
 public:
  Pager(RowSource& source, std::function<void(const Status&)> on_error)
      : source_(source), on_error_(std::move(on_error)) {}

  // The rows the page holds (at least 1).
  int rows() const { return rows_; }
  void set_rows(int rows) { rows_ = rows < 1 ? 1 : rows; }

  const std::vector<PageRow>& page() const { return page_; }
  // The highlighted row of the page, -1 when the page is empty.
  int highlighted() const { return highlight_; }
  // Highlights a row of the page; a row not on it changes nothing.
  void highlight(int row);

  // Fills the page forward from the position `position` sets, the first row read standing at
  // `row` of the page when there are rows before it (and highlighted); when the end comes first
  // the page fills up from before, the last row highlighted. False, with the page as it was,
  // when the source failed.
  bool fill(const std::function<Status()>& position, int row);
  // The page with row r at `row` (as fill()).
  bool fill_at(const PageRow& r, int row);

  void home();
  void end();
  // Scrolls by rows (+ down, - up): a page at a time for whole pages, then row by row; the
  // highlight stays on its row of the page.
  void scroll(int rows);
  void page_down();
  void page_up();
  // Moves the highlight by rows, scrolling when it leaves the page.
  void move(int rows);
  // Reads the page again from its first row (rows deleted meanwhile leave it), the highlight on
  // the same row of the page as far as the page reaches.
  void read_again();
  // Highlights the row of position id when the page shows it; else pages at r, it at `row`.
  void show(const PageRow& r, int row);

 private:
  bool read(bool forward, int count, std::vector<PageRow>& out);
  bool position(const Status& st);

  RowSource& source_;
  std::function<void(const Status&)> on_error_;
  int rows_ = 1;
  std::vector<PageRow> page_;
  int highlight_ = -1;
};

}  // namespace mervane
