// The list of a browse: a table view over one page of rows and a scroll bar of its own.
//
// The window's model reads the page (ListState) and the view shows exactly that page: the
// table never holds more rows than the model gave, and never scrolls by itself. The scroll bar
// stands for the key's 100 stops: its thumb shows the model's stop, a dropped thumb asks the model
// for a stop, its arrows and the wheel ask for rows, its page areas for a page, its Top and Bottom
// for the first and last records. How many rows fit is measured from the table's height and
// told whenever it differs from what the page holds.
//
// Threading: GUI thread only.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "core/app/window_model.h"

class QScrollBar;
class QTableView;

namespace mervane::gui {

// One page of rows as a Qt model; cells are shown as the window gives them. A column the window
// says holds numbers is aligned right, without the blanks its picture pads it with.
class PageModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Takes the page; answers whether the headers changed.
  bool show(const ListState& l);
  const QStringList& headers() const { return headers_; }
  bool right_aligned(int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;

 private:
  QStringList headers_;
  std::vector<QStringList> rows_;
  int columns_ = 0;
  std::vector<bool> numbers_;
};

class BrowseList : public QWidget {
  Q_OBJECT

 public:
  explicit BrowseList(QWidget* parent = nullptr);

  // Shows a page. A column is as wide as the window's width for it (dialog units, px_per_unit
  // converting them), its header and the cells of the first page; it widens for a wider cell
  // later, up to twice that, unless the user has sized it. A drag of the thumb under way is left
  // alone.
  void show_page(const ListState& l, double px_per_unit);
  // The rows the table's height holds now.
  int rows_that_fit() const;
  // The rows the shown page holds (what the model reads).
  int page_rows() const { return page_rows_; }

  QTableView* table() const { return table_; }
  QScrollBar* scroll_bar() const { return bar_; }
  PageModel* page() const { return model_; }

 Q_SIGNALS:
  void scrolled(int rows);  // + down, - up
  void thumbDropped(int stop);
  void jumped(bool to_end);  // the first or the last record
  void rowClicked(int row);
  void rowActivated(int row);
  // The rows that fit differ from what the page holds (after a resize, or a page that came
  // with another count).
  void rowsFit(int rows);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void bar_action(int action);
  void check_rows();
  void fit_columns(const ListState& l, double px_per_unit, bool headers_changed);

  QTableView* table_;
  QScrollBar* bar_;
  PageModel* model_;
  int page_rows_ = 0;
  int thumb_ = 0;
  int wheel_ = 0;                 // the wheel's turn not yet worth a row, in eighths of a degree
  std::vector<int> base_widths_;  // pixels, before any cell widened the column
  std::vector<bool> user_sized_;
  bool sizing_ = false;
  bool check_posted_ = false;
};

}  // namespace mervane::gui
