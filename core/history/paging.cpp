#include "core/history/paging.h"

#include <algorithm>

namespace mervane {

bool Pager::position(const Status& st) {
  if (st.failed()) on_error_(st);
  return !st.failed();
}

bool Pager::read(bool forward, int count, std::vector<PageRow>& out) {
  if (count <= 0) return true;
  return position(source_.read(forward, count, out));
}

void Pager::highlight(int row) {
  if (row >= 0 && row < static_cast<int>(page_.size())) highlight_ = row;
}

bool Pager::fill(const std::function<Status()>& at, int row) {
  std::vector<PageRow> fwd, back;
  if (!position(at()) || !read(true, rows_, fwd)) return false;
  // Rows before the first one read: enough to put it at `row`, or to fill the page when the end
  // came first.
  const int want_back = std::max(std::min(row, rows_ - 1), rows_ - static_cast<int>(fwd.size()));
  if (want_back > 0) {
    if (!position(fwd.empty() ? source_.at_end() : source_.at(fwd.front()))) return false;
    if (!read(false, want_back, back)) return false;
  }
  std::vector<PageRow> page;
  page.reserve(static_cast<std::size_t>(rows_));
  for (auto it = back.rbegin(); it != back.rend(); ++it) page.push_back(std::move(*it));
  for (auto& r : fwd) {
    if (static_cast<int>(page.size()) >= rows_) break;
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

bool Pager::fill_at(const PageRow& r, int row) {
  return fill([&] { return source_.at(r); }, row);
}

void Pager::home() {
  fill([&] { return source_.at_start(); }, 0);
}

void Pager::end() {
  fill([&] { return source_.at_end(); }, 0);
}

void Pager::read_again() {
  const int keep = highlight_;
  if (page_.empty()) {
    home();
  } else {
    const PageRow first = page_.front();
    fill_at(first, 0);
  }
  if (!page_.empty()) highlight_ = std::clamp(keep, 0, static_cast<int>(page_.size()) - 1);
}

void Pager::scroll(int rows) {
  if (page_.empty() || rows == 0) return;
  while (rows >= rows_) {
    page_down();
    rows -= rows_;
  }
  while (rows <= -rows_) {
    page_up();
    rows += rows_;
  }
  if (rows == 0) return;
  const bool down = rows > 0;
  if (!position(down ? source_.after(page_.back()) : source_.at(page_.front()))) return;
  std::vector<PageRow> more;
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

void Pager::page_down() {
  if (page_.empty()) return home();
  const int keep = highlight_;
  std::vector<PageRow> more;
  if (!position(source_.after(page_.back())) || !read(true, rows_, more)) return;
  if (more.empty()) {  // already at the end
    highlight_ = static_cast<int>(page_.size()) - 1;
    return;
  }
  if (static_cast<int>(more.size()) < rows_) {
    // The end comes first: the last page, the rows before completing it.
    const auto keep_rows = std::min(page_.size(), static_cast<std::size_t>(rows_) - more.size());
    page_.erase(page_.begin(), page_.end() - static_cast<std::ptrdiff_t>(keep_rows));
    for (auto& r : more) page_.push_back(std::move(r));
  } else {
    page_ = std::move(more);
  }
  highlight_ = std::clamp(keep, 0, static_cast<int>(page_.size()) - 1);
}

void Pager::page_up() {
  if (page_.empty()) return home();
  const int keep = highlight_;
  std::vector<PageRow> more;
  if (!position(source_.at(page_.front())) || !read(false, rows_, more)) return;
  if (more.empty()) {  // already at the top
    highlight_ = 0;
    return;
  }
  std::vector<PageRow> page;
  for (auto it = more.rbegin(); it != more.rend(); ++it) page.push_back(std::move(*it));
  for (std::size_t i = 0; static_cast<int>(page.size()) < rows_ && i < page_.size(); ++i)
    page.push_back(std::move(page_[i]));
  page_ = std::move(page);
  highlight_ = std::clamp(keep, 0, static_cast<int>(page_.size()) - 1);
}

void Pager::move(int rows) {
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

void Pager::show(const PageRow& r, int row) {
  for (std::size_t i = 0; i < page_.size(); ++i)
    if (page_[i].id == r.id) {
      highlight_ = static_cast<int>(i);
      return;
    }
  fill_at(r, row);
}

}  // namespace mervane
