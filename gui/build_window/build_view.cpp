#include "gui/build_window/build_view.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mervane::gui {
namespace {

// The pitch of rows and the room around groups: as dense as reads well, so that the window with
// the frame around it fits the work area of a 1366 x 768 screen at the default font.
constexpr int kSpacing = 2;
constexpr int kColumnGap = 10;

QHBoxLayout* hbox(std::initializer_list<QWidget*> widgets, bool stretch = true) {
  auto* h = new QHBoxLayout;
  h->setSpacing(kSpacing + 2);
  for (QWidget* w : widgets)
    if (w) h->addWidget(w);
  if (stretch) h->addStretch(1);
  return h;
}

void tighten(QLayout* l) {
  l->setSpacing(kSpacing);
  l->setContentsMargins(6, 2, 6, 4);
}

// A note written as lines of a fixed width is wrapped to the width its place has instead.
void wrap(QWidget* w) {
  if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setText(l->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    l->setWordWrap(true);
  }
}

}  // namespace

BuildView::BuildView(std::vector<ControlSpec> control_defs, EventSink sink, QWidget* parent)
    : WindowView(std::move(control_defs), std::move(sink), parent, OwnLayout{}) {
  // Every widget first, in window order: the focus follows the order in which they were made.
  for (const ControlSpec& c : this->control_defs())
    if (QWidget* w = make_control(c.id, this)) made_.insert(c.id, w);

  auto* top = new QVBoxLayout(this);
  top->setSpacing(2);
  top->setContentsMargins(6, 2, 6, 2);
  top->addWidget(history_update());
  top->addWidget(output_settings());
  top->addStretch(1);
  finish();

  // A preview shows the symbol of its currency: its name is that currency's label, the prompt
  // beside it in the row, rather than the last prompt before it in window order.
  for (int i = 0; i < 10; ++i) {
    QWidget* preview = widget_of(number(C::WINGALL) + i);
    QWidget* entry = widget_of(number(C::SYMALL) + i);
    if (preview && entry) preview->setAccessibleName(entry->accessibleName());
  }
}

QWidget* BuildView::prompt(C c) const {
  const auto& all = control_defs();
  for (std::size_t i = 1; i < all.size(); ++i) {
    if (all[i].id != number(c)) continue;
    const ControlSpec& before = all[i - 1];
    if (before.kind == ControlKind::Prompt && before.parent == all[i].parent)
      return made_.value(before.id);
    return nullptr;
  }
  return nullptr;
}

QWidget* BuildView::after(C c) const {
  const auto& all = control_defs();
  for (std::size_t i = 0; i + 1 < all.size(); ++i) {
    if (all[i].id != number(c)) continue;
    const ControlSpec& next = all[i + 1];
    if (next.kind == ControlKind::Prompt || next.kind == ControlKind::Image)
      return made_.value(next.id);
    return nullptr;
  }
  return nullptr;
}

QGroupBox* BuildView::group(C c) const {
  const ControlSpec* s = def_of(number(c));
  return s ? qobject_cast<QGroupBox*>(made_.value(s->parent)) : nullptr;
}

QWidget* BuildView::first_prompt(QGroupBox* g) const {
  for (const ControlSpec& c : control_defs())
    if (c.kind == ControlKind::Prompt && made_.value(c.parent) == g) return made_.value(c.id);
  return nullptr;
}

void BuildView::row(QGridLayout* grid, int r, C c, QWidget* beside) {
  if (QWidget* p = prompt(c)) grid->addWidget(p, r, 0);
  grid->addWidget(at(c), r, 1);
  if (beside) grid->addWidget(beside, r, 2);
}

void BuildView::narrow(std::initializer_list<C> buttons) {
  for (C c : buttons) {
    auto* b = qobject_cast<QAbstractButton*>(at(c));
    if (!b) continue;
    const QFontMetrics fm(b->font());
    b->setFixedWidth(std::max(fm.horizontalAdvance(b->text()) + 18, 30));
  }
}

void BuildView::fit(C c, int chars) {
  QWidget* w = at(c);
  if (!w) return;
  const QFontMetrics fm(w->font());
  // The digits and the frame; a date field keeps room for its picker button.
  const int text = fm.horizontalAdvance(QString(chars, QLatin1Char('0'))) + 14;
  QLineEdit* edit = qobject_cast<QLineEdit*>(widget_of(number(c)));
  if (edit && edit != w) {
    edit->setFixedWidth(text);
    return;
  }
  w->setFixedWidth(text);
}

void BuildView::stretchy(C c, int chars) {
  QWidget* w = at(c);
  if (!w) return;
  w->setSizePolicy(QSizePolicy::Ignored, w->sizePolicy().verticalPolicy());
  w->setMinimumWidth(QFontMetrics(w->font()).horizontalAdvance(QString(chars, QLatin1Char('x'))));
}

// ---- the history update ----

QWidget* BuildView::history_update() {
  QGroupBox* g = group(C::CHECKHIST);
  auto* grid = new QGridLayout(g);
  tighten(grid);
  grid->setHorizontalSpacing(kColumnGap + 6);

  // The source: the setup, the update itself, the format and how the page comes, and what to do
  // when it does not come by itself.
  auto* left = new QVBoxLayout;
  left->setSpacing(kSpacing);
  left->addLayout(hbox({at(C::INITIALSETUP), at(C::CHECKHIST)}));
  fit(C::CLDRFMT, 2);
  auto* format = hbox({prompt(C::CLDRFMT), at(C::CLDRFMT)}, false);
  format->addSpacing(kColumnGap);
  format->addWidget(at(C::CHECKWGET));
  format->addStretch(1);
  left->addLayout(format);
  if (QWidget* note = after(C::CHECKWGET)) {
    wrap(note);
    left->addWidget(note);
  }
  left->addStretch(1);

  auto* middle = new QGridLayout;
  middle->setSpacing(kSpacing);
  middle->setHorizontalSpacing(kSpacing + 4);
  fit(C::DATE1, 10);
  fit(C::LOADWEEKS, 3);
  fit(C::OFFSET1, 4);
  row(middle, 0, C::DATE1);
  // "Auto set" sets the start date and the weeks: beside the weeks, under the date.
  if (QWidget* p = prompt(C::LOADWEEKS)) middle->addWidget(p, 1, 0);
  middle->addLayout(hbox({at(C::LOADWEEKS), at(C::AUTODATE)}), 1, 1);
  row(middle, 2, C::OFFSET1);
  middle->setRowStretch(3, 1);
  middle->setColumnStretch(1, 1);

  auto* right = new QVBoxLayout;
  right->setSpacing(0);
  for (C c : {C::CNVFMT, C::NONECON, C::INCUT, C::INCUV}) right->addWidget(at(c));
  right->addStretch(1);

  grid->addLayout(left, 0, 0);
  grid->addLayout(middle, 0, 1);
  grid->addLayout(right, 0, 2);
  // What the calendar's source and the time zones change, under the three (shown when they do).
  auto* notes = new QHBoxLayout;
  notes->setSpacing(kColumnGap * 3);
  for (C note : {C::LOADNOTE, C::ZONENOTE})
    if (auto* l = qobject_cast<QLabel*>(at(note))) {
      l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      notes->addWidget(l);
    }
  notes->addStretch(1);
  grid->addLayout(notes, 1, 0, 1, 3);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  // The note under the source wraps within its column; the column takes no more than its rows.
  if (QWidget* note = after(C::CHECKWGET))
    note->setMaximumWidth(left->itemAt(0)->sizeHint().width());
  return g;
}

// ---- the output settings ----

QWidget* BuildView::output_settings() {
  QGroupBox* g = group(C::GLO_OUTNAME);
  auto* v = new QVBoxLayout(g);
  tighten(v);

  auto* first = new QVBoxLayout;
  first->setSpacing(kSpacing + 2);
  first->addLayout(output_file_and_dates());
  first->addWidget(charts());
  first->addWidget(descriptions());
  first->addStretch(1);

  auto* second = new QVBoxLayout;
  second->setSpacing(kSpacing + 2);
  second->addWidget(symbols());
  second->addWidget(colours());
  second->addStretch(1);
  // The effects analysis reads the currency pairs of the row below.
  second->addLayout(hbox({at(C::EFFECTSSETUP), at(C::EFFECTS)}));

  auto* third = new QVBoxLayout;
  third->setSpacing(kSpacing + 2);
  third->addLayout(descr_line_and_export());
  third->addLayout(nci_and_profiles());
  third->addStretch(1);

  auto* columns = new QHBoxLayout;
  columns->setSpacing(kColumnGap);
  columns->addLayout(first, 5);
  columns->addLayout(second, 3);
  columns->addLayout(third, 4);
  v->addLayout(columns);
  v->addLayout(pairs_and_foot());
  return g;
}

QLayout* BuildView::output_file_and_dates() {
  auto* v = new QVBoxLayout;
  v->setSpacing(kSpacing);
  if (QWidget* p = prompt(C::GLO_OUTNAME)) v->addWidget(p);
  v->addWidget(at(C::GLO_OUTNAME));
  // Right under the path: that no MT4 of today reads News.CSV there. Its line is kept when it
  // is hidden, so the window does not change its height as the path is typed.
  if (auto* l = qobject_cast<QLabel*>(at(C::NEWSNOTE))) {
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->setWordWrap(true);
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    policy.setRetainSizeWhenHidden(true);
    l->setSizePolicy(policy);
    v->addWidget(l);
  }
  v->addWidget(at(C::INCLSWAPS));

  auto* grid = new QGridLayout;
  grid->setSpacing(kSpacing);
  grid->setHorizontalSpacing(6);
  fit(C::OFFSET2, 4);
  fit(C::SPACING1, 5);
  row(grid, 0, C::OFFSET2);
  grid->addLayout(hbox({at(C::OFF2FMT), at(C::OFF2EXP)}), 1, 0, 1, 3);
  row(grid, 2, C::SPACING1);
  grid->setColumnStretch(2, 1);
  v->addLayout(grid);

  // The end date under the start date, the format of both beside it.
  auto* dates = new QGridLayout;
  dates->setSpacing(kSpacing);
  dates->setHorizontalSpacing(6);
  fit(C::FROMDATE, 10);
  fit(C::THRUDATE, 10);
  row(dates, 0, C::FROMDATE);
  row(dates, 1, C::THRUDATE, after(C::BUTTON9));
  if (QLayoutItem* item = dates->itemAtPosition(1, 0))
    item->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  dates->setColumnStretch(3, 1);
  v->addLayout(dates);
  v->addWidget(at(C::CHECK1));
  v->addWidget(at(C::CHECK2));
  // The long texts scroll in their fields: the fields take the column's width, not their own.
  stretchy(C::GLO_OUTNAME, 24);
  return v;
}

QWidget* BuildView::charts() {
  QGroupBox* g = group(C::CHECKM1);
  auto* grid = new QGridLayout(g);
  tighten(grid);
  grid->setVerticalSpacing(0);
  // Three rows of three: minutes, hours, then days, weeks and months; the buttons that set them
  // all in a row of their own beside.
  for (int i = 0; i < 9; ++i) grid->addWidget(at(control(number(C::CHECKM1) + i)), i % 3, i / 3);
  narrow({C::RCHARTS, C::ZCHARTS, C::ICHARTS});
  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(0);
  for (C c : {C::RCHARTS, C::ZCHARTS, C::ICHARTS}) buttons->addWidget(at(c));
  grid->addLayout(buttons, 0, 3, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
  grid->setColumnStretch(3, 1);
  return g;
}

QWidget* BuildView::descriptions() {
  QGroupBox* g = group(C::DESCR1);
  auto* grid = new QGridLayout(g);
  tighten(grid);
  // Two rows of two: "whose descriptions contain only" A "or" B, "or" C "or" D, and Clear.
  auto place = [&](C c, int r, int col) {
    if (QWidget* p = prompt(c)) grid->addWidget(p, r, col, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(at(c), r, col + 1);
  };
  place(C::DESCR1, 0, 0);
  place(C::DESCR2, 0, 2);
  place(C::DESCR3, 1, 0);
  place(C::DESCR4, 1, 2);
  narrow({C::RDESC});
  grid->addWidget(at(C::RDESC), 1, 4);
  for (C c : {C::DESCR1, C::DESCR2, C::DESCR3, C::DESCR4}) stretchy(c, 12);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  return g;
}

QWidget* BuildView::symbols() {
  QGroupBox* g = group(C::SYMALL);
  auto* v = new QVBoxLayout(g);
  tighten(v);
  if (QWidget* p = first_prompt(g)) v->addWidget(p);
  // One row a currency (its label, the code, the symbol the code draws, its default button), in
  // two columns of five.
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(kSpacing);
  for (int i = 0; i < 10; ++i) {
    const C sym = control(number(C::SYMALL) + i);
    const int r = i % 5, col = i / 5 * 5;
    fit(sym, 5);
    if (QWidget* p = prompt(sym)) grid->addWidget(p, r, col);
    grid->addWidget(at(sym), r, col + 1);
    grid->addWidget(at(control(number(C::WINGALL) + i)), r, col + 2);
    grid->addWidget(at(control(number(C::DEFALL) + i)), r, col + 3);
    narrow({control(number(C::DEFALL) + i)});
  }
  grid->setColumnMinimumWidth(4, kColumnGap);
  grid->setColumnStretch(9, 1);
  v->addLayout(grid);
  narrow({C::WDCHART, C::RSYMBOLS, C::MSYMBOLS, C::ZSYMBOLS, C::DSYMBOLS, C::ISYMBOLS});
  v->addLayout(hbox({at(C::WDCHART), at(C::RSYMBOLS), at(C::MSYMBOLS), at(C::ZSYMBOLS),
                     at(C::DSYMBOLS), at(C::ISYMBOLS)}));
  return g;
}

QWidget* BuildView::colours() {
  QGroupBox* g = group(C::SYMLOW);
  auto* v = new QVBoxLayout(g);
  tighten(v);
  if (QWidget* p = first_prompt(g)) v->addWidget(p);
  auto* grid = new QGridLayout;
  grid->setSpacing(kSpacing);
  grid->setHorizontalSpacing(6);
  const C levels[] = {C::SYMLOW, C::SYMMED, C::SYMHIGH};
  const C set[] = {C::SETLOW, C::SETMED, C::SETHIGH};
  for (int i = 0; i < 3; ++i) {
    fit(levels[i], 4);
    row(grid, i, levels[i], at(set[i]));
    narrow({set[i]});
  }
  grid->setColumnStretch(3, 1);
  v->addLayout(grid);
  // The legend of the colour numbers below the three levels and their buttons, the buttons that
  // set all three beside it.
  narrow({C::RCOLORS, C::MCOLORS, C::ZCOLORS});
  v->addLayout(hbox({after(C::SYMHIGH), at(C::RCOLORS), at(C::MCOLORS), at(C::ZCOLORS)}));
  return g;
}

QLayout* BuildView::descr_line_and_export() {
  auto* v = new QVBoxLayout;
  v->setSpacing(kSpacing + 2);

  // The options of a group follow it in window order.
  auto options = [&](C group_control) {
    std::vector<QWidget*> out;
    for (const ControlSpec& c : control_defs())
      if (c.kind == ControlKind::Option && c.parent == number(group_control))
        out.push_back(made_.value(c.id));
    return out;
  };

  auto* descfirst = qobject_cast<QGroupBox*>(at(C::DESCFIRST));
  auto* dline = new QHBoxLayout(descfirst);
  tighten(dline);
  for (QWidget* o : options(C::DESCFIRST)) dline->addWidget(o);
  dline->addStretch(1);
  v->addWidget(descfirst);

  // The export: its five choices, the separator beside " Char", then the date format and the
  // file below them.
  auto* xout = qobject_cast<QGroupBox*>(at(C::XOUT));
  auto* xv = new QVBoxLayout(xout);
  tighten(xv);
  const auto kinds = options(C::XOUT);
  auto* choices = new QHBoxLayout;
  choices->setSpacing(kSpacing + 2);
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    choices->addWidget(kinds[i]);
    if (i == 3) choices->addWidget(at(C::SEPCHAR));
  }
  choices->addStretch(1);
  fit(C::SEPCHAR, 3);
  xv->addLayout(choices);
  fit(C::DATEFMT, 3);
  auto* file = hbox({prompt(C::DATEFMT), at(C::DATEFMT)}, false);
  file->addSpacing(kColumnGap);
  if (QWidget* p = prompt(C::GLO_OUTXLSNAME)) file->addWidget(p);
  file->addWidget(at(C::GLO_OUTXLSNAME), 1);
  stretchy(C::GLO_OUTXLSNAME, 12);
  xv->addLayout(file);
  v->addWidget(xout);

  v->addLayout(hbox({at(C::PREVIEW), at(C::NUMONLY)}));
  // The two presets, and Clear and All for the columns below them.
  narrow({C::ZOUTPUT, C::IOUTPUT});
  v->addLayout(hbox({at(C::PEDFORMAT), at(C::PNFORMAT), at(C::ZOUTPUT), at(C::IOUTPUT)}));
  auto* columns = new QGridLayout;
  columns->setHorizontalSpacing(12);
  columns->setVerticalSpacing(0);
  for (int i = 0; i < 10; ++i)
    columns->addWidget(at(control(number(C::OUTDATE) + i)), i % 4, i / 4);
  columns->setColumnStretch(3, 1);
  v->addLayout(columns);
  return v;
}

QLayout* BuildView::nci_and_profiles() {
  auto* v = new QVBoxLayout;
  v->setSpacing(kSpacing + 2);

  QGroupBox* nci = group(C::NCIOUT);
  auto* n = new QHBoxLayout(nci);
  tighten(n);
  fit(C::NCIOUT, 3);
  n->addWidget(prompt(C::NCIOUT));
  n->addWidget(at(C::NCIOUT));
  n->addWidget(at(C::NCIAUTO));

  // ">>>" runs every profile (or those the drop list's "EU*" names): it stands between the NCI
  // outputs and the profiles it runs, which are below.
  QGroupBox* profiles = group(C::PFILENAME);
  auto* p = new QGridLayout(profiles);
  tighten(p);
  fit(C::PFILENAME, 10);
  p->addWidget(at(C::PFILENAME), 0, 0);
  p->addLayout(hbox({at(C::LOAD1), at(C::SAVE1), at(C::DELETE1)}), 0, 1);
  narrow({C::LOAD1, C::SAVE1, C::DELETE1});
  // The profile last loaded, at the end of the row it was loaded from.
  if (auto* l = qobject_cast<QLabel*>(at(C::PROFILENAME))) {
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setMinimumWidth(QFontMetrics(l->font()).horizontalAdvance(QStringLiteral("MMMMMM")) + 8);
  }
  p->addWidget(at(C::PROFILENAME), 0, 2);

  narrow({C::EXECGROUP});
  v->addLayout(hbox({nci, at(C::EXECGROUP)}));
  v->addWidget(profiles);
  return v;
}

QLayout* BuildView::pairs_and_foot() {
  auto* h = new QHBoxLayout;
  h->setSpacing(kSpacing + 2);
  if (QWidget* p = prompt(C::PAIRS)) h->addWidget(p);
  h->addWidget(at(C::PAIRS), 1);
  stretchy(C::PAIRS, 16);
  for (int c = number(C::PAIRCLR); c <= number(C::PAIRSEP); ++c) {
    narrow({control(c)});
    h->addWidget(at(control(c)));
  }
  // The run: the week being read and its counter, then OK and Cancel at the window's corner.
  h->addSpacing(kColumnGap * 2);
  for (C display : {C::CALPROC, C::COUNT1}) {
    auto* l = qobject_cast<QLabel*>(at(display));
    if (!l) continue;
    l->setMinimumWidth(QFontMetrics(l->font()).horizontalAdvance(QStringLiteral("00/00/0000")) + 8);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    h->addWidget(l);
  }
  h->addWidget(at(C::OK));
  h->addWidget(at(C::CANCEL));
  return h;
}

}  // namespace mervane::gui
