#include "gui/widgets/browse_list.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "gui/widgets/qt_text.h"

namespace mervane::gui {

// ---------------------------------------------------------------- PageModel

bool PageModel::show(const ListState& l) {
  QStringList headers;
  for (const std::string& h : l.headers) headers << qtext(h);
  std::vector<QStringList> rows;
  rows.reserve(l.rows.size());
  int columns = static_cast<int>(headers.size());
  for (const auto& row : l.rows) {
    QStringList cells;
    for (const std::string& c : row) cells << qtext(c);
    columns = std::max(columns, static_cast<int>(cells.size()));
    rows.push_back(std::move(cells));
  }
  if (headers != headers_ || columns != columns_ || l.numbers != numbers_) {
    beginResetModel();
    headers_ = std::move(headers);
    columns_ = columns;
    rows_ = std::move(rows);
    numbers_ = l.numbers;
    endResetModel();
    return true;
  }
  // The same columns: the rows change in place, so the view keeps its columns and scrolling.
  const int before = static_cast<int>(rows_.size());
  const int after = static_cast<int>(rows.size());
  if (after < before) {
    beginRemoveRows({}, after, before - 1);
    rows_.resize(static_cast<std::size_t>(after));
    endRemoveRows();
  } else if (after > before) {
    beginInsertRows({}, before, after - 1);
    rows_.insert(rows_.end(), rows.begin() + before, rows.end());
    endInsertRows();
  }
  const int common = std::min(before, after);
  for (int i = 0; i < common; ++i)
    rows_[static_cast<std::size_t>(i)] = std::move(rows[static_cast<std::size_t>(i)]);
  if (common > 0 && columns_ > 0) Q_EMIT dataChanged(index(0, 0), index(common - 1, columns_ - 1));
  return false;
}

bool PageModel::right_aligned(int column) const {
  return column >= 0 && static_cast<std::size_t>(column) < numbers_.size() &&
         numbers_[static_cast<std::size_t>(column)];
}

int PageModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PageModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

QVariant PageModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const bool right = right_aligned(index.column());
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(
        Qt::Alignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const QStringList& row = rows_[static_cast<std::size_t>(index.row())];
  const QString cell = index.column() < row.size() ? row[index.column()] : QString();
  return right ? cell.trimmed() : cell;
}

QVariant PageModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section < headers_.size() ? headers_[section] : QVariant();
}

// ---------------------------------------------------------------- BrowseList

BrowseList::BrowseList(QWidget* parent)
    : QWidget(parent),
      table_(new QTableView(this)),
      bar_(new QScrollBar(Qt::Vertical, this)),
      model_(new PageModel(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(table_, 1);
  row->addWidget(bar_);

  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  table_->setAutoScroll(false);
  table_->setWordWrap(false);
  table_->setTabKeyNavigation(false);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  table_->horizontalHeader()->setHighlightSections(false);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  connect(table_->horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int column, int, int) {
            if (!sizing_ && column >= 0 && column < static_cast<int>(user_sized_.size()))
              user_sized_[static_cast<std::size_t>(column)] = true;
          });
  table_->viewport()->installEventFilter(this);
  setFocusProxy(table_);

  // The 100 stops; the thumb moves only when the model says where the page stands.
  bar_->setRange(1, 100);
  bar_->setSingleStep(1);
  bar_->setPageStep(10);
  bar_->setTracking(false);
  bar_->setEnabled(false);
  bar_->installEventFilter(this);
  connect(bar_, &QScrollBar::actionTriggered, this, &BrowseList::bar_action);
  connect(bar_, &QScrollBar::sliderReleased, this,
          [this] { Q_EMIT thumbDropped(bar_->sliderPosition()); });

  connect(table_, &QTableView::clicked, this,
          [this](const QModelIndex& i) { Q_EMIT rowClicked(i.row()); });
  connect(table_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& i) { Q_EMIT rowActivated(i.row()); });
}

void BrowseList::fit_columns(const ListState& l, double px_per_unit, bool headers_changed) {
  const int columns = model_->columnCount();
  const QFontMetrics cells = table_->fontMetrics();
  const int margin = 2 * table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
  if (headers_changed) {
    const QFontMetrics header = table_->horizontalHeader()->fontMetrics();
    base_widths_.assign(static_cast<std::size_t>(columns), 0);
    user_sized_.assign(static_cast<std::size_t>(columns), false);
    for (int c = 0; c < columns; ++c) {
      int w =
          c < static_cast<int>(l.widths.size())
              ? static_cast<int>(std::lround(l.widths[static_cast<std::size_t>(c)] * px_per_unit))
              : 0;
      if (c < model_->headers().size())
        w = std::max(w, header.horizontalAdvance(model_->headers()[c]) + margin);
      base_widths_[static_cast<std::size_t>(c)] = w;
    }
  }
  const QScopedValueRollback<bool> guard(sizing_, true);
  for (int c = 0; c < columns; ++c) {
    const auto i = static_cast<std::size_t>(c);
    if (user_sized_[i]) continue;
    int need = headers_changed ? base_widths_[i] : table_->columnWidth(c);
    for (int r = 0; r < model_->rowCount(); ++r)
      need = std::max(need, cells.horizontalAdvance(
                                model_->data(model_->index(r, c), Qt::DisplayRole).toString()) +
                                margin);
    need = std::min(need, std::max(2 * base_widths_[i], table_->columnWidth(c)));
    if (headers_changed || need > table_->columnWidth(c)) table_->setColumnWidth(c, need);
  }
}

void BrowseList::show_page(const ListState& l, double px_per_unit) {
  fit_columns(l, px_per_unit, model_->show(l));
  const int rows = model_->rowCount();
  if (l.highlighted >= 0 && l.highlighted < rows) {
    const int column = std::max(table_->currentIndex().column(), 0);
    table_->selectionModel()->setCurrentIndex(
        model_->index(l.highlighted, column),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    table_->selectionModel()->clear();
  }
  // The page starts at its first row, always.
  table_->verticalScrollBar()->setValue(0);
  thumb_ = l.thumb;
  bar_->setEnabled(thumb_ > 0);
  if (!bar_->isSliderDown()) {
    const QSignalBlocker quiet(bar_);
    bar_->setValue(std::max(thumb_, 1));
    bar_->setSliderPosition(std::max(thumb_, 1));
  }
  page_rows_ = l.page_rows;
  check_rows();
}

int BrowseList::rows_that_fit() const {
  const int h = table_->verticalHeader()->defaultSectionSize();
  return std::max(1, table_->viewport()->height() / std::max(h, 1));
}

void BrowseList::bar_action(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      Q_EMIT scrolled(1);
      break;
    case QAbstractSlider::SliderSingleStepSub:
      Q_EMIT scrolled(-1);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      Q_EMIT scrolled(std::max(page_rows_, 1));
      break;
    case QAbstractSlider::SliderPageStepSub:
      Q_EMIT scrolled(-std::max(page_rows_, 1));
      break;
    case QAbstractSlider::SliderToMinimum:
      Q_EMIT jumped(false);
      break;
    case QAbstractSlider::SliderToMaximum:
      Q_EMIT jumped(true);
      break;
    case QAbstractSlider::SliderMove:
      // A drag under way follows the mouse; "Scroll here" drops the thumb at once.
      if (bar_->isSliderDown()) return;
      Q_EMIT thumbDropped(bar_->sliderPosition());
      break;
    default:
      return;
  }
  // The thumb stays where the page stands until the model has moved it.
  bar_->setSliderPosition(std::max(thumb_, 1));
}

bool BrowseList::eventFilter(QObject* watched, QEvent* event) {
  // The table's own scroll bar for its columns comes and goes, and takes a row's height with it.
  if (event->type() == QEvent::Resize && watched == table_->viewport()) check_rows();
  if (event->type() == QEvent::Wheel && (watched == table_->viewport() || watched == bar_)) {
    const auto* w = static_cast<QWheelEvent*>(event);
    if (w->angleDelta().y() == 0) return false;  // sideways: the table scrolls its columns
    if (thumb_ > 0) {
      wheel_ += w->angleDelta().y();
      const int notches = wheel_ / 120;
      wheel_ -= notches * 120;
      if (notches != 0) Q_EMIT scrolled(-notches * QApplication::wheelScrollLines());
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void BrowseList::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  check_rows();
}

void BrowseList::check_rows() {
  // Measured once the layout has settled, not in the middle of a resize or a redraw.
  if (check_posted_) return;
  check_posted_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        check_posted_ = false;
        if (page_rows_ <= 0 || !isVisible()) return;
        const int fit = rows_that_fit();
        if (fit != page_rows_) Q_EMIT rowsFit(fit);
      },
      Qt::QueuedConnection);
}

}  // namespace mervane::gui
