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

constexpr int kSpacing = 4;

QHBoxLayout* hbox(std::initializer_list<QWidget*> widgets, bool stretch = true) {
  auto* h = new QHBoxLayout;
  h->setSpacing(kSpacing);
  for (QWidget* w : widgets)
    if (w) h->addWidget(w);
  if (stretch) h->addStretch(1);
  return h;
}

void tighten(QLayout* l) {
  l->setSpacing(kSpacing);
  l->setContentsMargins(6, 4, 6, 6);
}

}  // namespace

BuildView::BuildView(std::vector<ControlSpec> control_defs, EventSink sink, QWidget* parent)
    : WindowView(std::move(control_defs), std::move(sink), parent, OwnLayout{}) {
  // Every widget first, in window order: the focus follows the order in which they were made.
  for (const ControlSpec& c : this->control_defs())
    if (QWidget* w = make_control(c.id, this)) made_.insert(c.id, w);

  auto* top = new QVBoxLayout(this);
  top->setSpacing(6);
  top->setContentsMargins(8, 8, 8, 8);
  top->addWidget(history_update());
  top->addWidget(output_settings());
  top->addLayout(foot());
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

// ---- the history update ----

QWidget* BuildView::history_update() {
  QGroupBox* g = group(C::CHECKHIST);
  auto* grid = new QGridLayout(g);
  tighten(grid);
  grid->setHorizontalSpacing(12);

  auto* left = new QVBoxLayout;
  left->setSpacing(kSpacing);
  left->addLayout(hbox({at(C::INITIALSETUP), at(C::CHECKHIST)}));
  fit(C::CLDRFMT, 2);
  left->addLayout(hbox({prompt(C::CLDRFMT), at(C::CLDRFMT)}));
  left->addWidget(at(C::CHECKWGET));
  if (QWidget* note = after(C::CHECKWGET)) {
    left->addWidget(note);
    if (auto* l = qobject_cast<QLabel*>(note)) l->setIndent(20);
  }
  left->addStretch(1);

  auto* middle = new QGridLayout;
  middle->setSpacing(kSpacing);
  fit(C::DATE1, 10);
  fit(C::LOADWEEKS, 3);
  fit(C::OFFSET1, 4);
  row(middle, 0, C::DATE1);
  row(middle, 1, C::LOADWEEKS, at(C::AUTODATE));
  middle->addWidget(at(C::LOADNOTE), 2, 0, 1, 3);
  row(middle, 3, C::OFFSET1);
  middle->addWidget(at(C::ZONENOTE), 4, 0, 1, 3);
  middle->setRowStretch(5, 1);
  middle->setColumnStretch(2, 1);
  for (C note : {C::LOADNOTE, C::ZONENOTE})
    if (auto* l = qobject_cast<QLabel*>(at(note))) {
      l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      l->setWordWrap(true);
    }

  auto* right = new QVBoxLayout;
  right->setSpacing(kSpacing);
  for (C c : {C::CNVFMT, C::NONECON, C::INCUT, C::INCUV}) right->addWidget(at(c));
  right->addStretch(1);

  grid->addLayout(left, 0, 0);
  grid->addLayout(middle, 0, 1);
  grid->addLayout(right, 0, 2);
  grid->setColumnStretch(1, 1);
  return g;
}

// ---- the output settings ----

QWidget* BuildView::output_settings() {
  QGroupBox* g = group(C::GLO_OUTNAME);
  auto* v = new QVBoxLayout(g);
  tighten(v);

  auto* first = new QVBoxLayout;
  first->setSpacing(kSpacing);
  first->addLayout(output_file_and_dates());
  first->addWidget(charts());
  first->addWidget(descriptions());
  first->addStretch(1);

  auto* second = new QVBoxLayout;
  second->setSpacing(kSpacing);
  second->addWidget(symbols());
  second->addWidget(colours());
  second->addStretch(1);

  auto* third = new QVBoxLayout;
  third->setSpacing(kSpacing);
  third->addLayout(descr_line_and_export());
  third->addLayout(nci_and_profiles());
  third->addStretch(1);

  auto* columns = new QHBoxLayout;
  columns->setSpacing(10);
  columns->addLayout(first, 5);
  columns->addLayout(second, 3);
  columns->addLayout(third, 4);
  v->addLayout(columns);
  v->addLayout(effects_and_pairs());
  return g;
}

QLayout* BuildView::output_file_and_dates() {
  auto* v = new QVBoxLayout;
  v->setSpacing(kSpacing);
  if (QWidget* p = prompt(C::GLO_OUTNAME)) v->addWidget(p);
  v->addWidget(at(C::GLO_OUTNAME));
  v->addWidget(at(C::INCLSWAPS));

  auto* grid = new QGridLayout;
  grid->setSpacing(kSpacing);
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
  return v;
}

QWidget* BuildView::charts() {
  QGroupBox* g = group(C::CHECKM1);
  auto* grid = new QGridLayout(g);
  tighten(grid);
  // Three rows of three: minutes, hours, then days, weeks and months.
  for (int i = 0; i < 9; ++i) grid->addWidget(at(control(number(C::CHECKM1) + i)), i % 3, i / 3);
  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(2);
  for (C c : {C::RCHARTS, C::ZCHARTS, C::ICHARTS}) buttons->addWidget(at(c));
  narrow({C::RCHARTS, C::ZCHARTS, C::ICHARTS});
  grid->addLayout(buttons, 0, 3, 3, 1, Qt::AlignRight | Qt::AlignTop);
  grid->setColumnStretch(3, 1);
  return g;
}

QWidget* BuildView::descriptions() {
  QGroupBox* g = group(C::DESCR1);
  auto* grid = new QGridLayout(g);
  tighten(grid);
  row(grid, 0, C::DESCR1);
  row(grid, 1, C::DESCR2);
  row(grid, 2, C::DESCR3);
  row(grid, 3, C::DESCR4, at(C::RDESC));
  narrow({C::RDESC});
  for (int r = 1; r <= 3; ++r)
    if (QLayoutItem* item = grid->itemAtPosition(r, 0))
      item->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->setColumnStretch(1, 1);
  return g;
}

QWidget* BuildView::symbols() {
  QGroupBox* g = group(C::SYMALL);
  auto* v = new QVBoxLayout(g);
  tighten(v);
  if (QWidget* p = first_prompt(g)) v->addWidget(p);
  // One row a currency: its label, the code, the symbol the code draws, its default button.
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(1);
  for (int i = 0; i < 10; ++i) {
    const C sym = control(number(C::SYMALL) + i);
    fit(sym, 5);
    row(grid, i, sym, at(control(number(C::WINGALL) + i)));
    grid->addWidget(at(control(number(C::DEFALL) + i)), i, 3);
    narrow({control(number(C::DEFALL) + i)});
  }
  grid->setColumnStretch(4, 1);
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
  v->setSpacing(kSpacing);

  // The options of a group follow it in window order.
  auto options = [&](C group_control) {
    std::vector<QWidget*> out;
    for (const ControlSpec& c : control_defs())
      if (c.kind == ControlKind::Option && c.parent == number(group_control))
        out.push_back(made_.value(c.id));
    return out;
  };

  auto* descfirst = qobject_cast<QGroupBox*>(at(C::DESCFIRST));
  auto* dgrid = new QGridLayout(descfirst);
  tighten(dgrid);
  const auto first = options(C::DESCFIRST);
  for (std::size_t i = 0; i < first.size(); ++i)
    dgrid->addWidget(first[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
  v->addWidget(descfirst);

  // The export: its five choices, the separator beside " Char", then the date format and the
  // file below them.
  auto* xout = qobject_cast<QGroupBox*>(at(C::XOUT));
  auto* xv = new QVBoxLayout(xout);
  tighten(xv);
  const auto kinds = options(C::XOUT);
  auto* choices = new QHBoxLayout;
  choices->setSpacing(kSpacing);
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    choices->addWidget(kinds[i]);
    if (i == 3) choices->addWidget(at(C::SEPCHAR));
  }
  choices->addStretch(1);
  fit(C::SEPCHAR, 3);
  xv->addLayout(choices);
  fit(C::DATEFMT, 3);
  xv->addLayout(hbox({prompt(C::DATEFMT), at(C::DATEFMT)}));
  auto* path = new QHBoxLayout;
  path->setSpacing(kSpacing);
  if (QWidget* p = prompt(C::GLO_OUTXLSNAME)) path->addWidget(p);
  path->addWidget(at(C::GLO_OUTXLSNAME), 1);
  xv->addLayout(path);
  v->addWidget(xout);

  v->addLayout(hbox({at(C::PREVIEW), at(C::NUMONLY)}));
  // The two presets, and Clear and All for the columns below them.
  narrow({C::ZOUTPUT, C::IOUTPUT});
  v->addLayout(hbox({at(C::PEDFORMAT), at(C::PNFORMAT), at(C::ZOUTPUT), at(C::IOUTPUT)}));
  auto* columns = new QGridLayout;
  columns->setHorizontalSpacing(12);
  columns->setVerticalSpacing(1);
  for (int i = 0; i < 10; ++i)
    columns->addWidget(at(control(number(C::OUTDATE) + i)), i % 5, i / 5);
  columns->setColumnStretch(2, 1);
  v->addLayout(columns);
  return v;
}

QLayout* BuildView::nci_and_profiles() {
  auto* v = new QVBoxLayout;
  v->setSpacing(kSpacing);

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

QLayout* BuildView::effects_and_pairs() {
  auto* h = new QHBoxLayout;
  h->setSpacing(kSpacing);
  h->addWidget(at(C::EFFECTSSETUP));
  h->addWidget(at(C::EFFECTS));
  h->addSpacing(12);
  if (QWidget* p = prompt(C::PAIRS)) h->addWidget(p);
  h->addWidget(at(C::PAIRS), 1);
  for (int c = number(C::PAIRCLR); c <= number(C::PAIRSEP); ++c) {
    narrow({control(c)});
    h->addWidget(at(control(c)));
  }
  return h;
}

QLayout* BuildView::foot() {
  auto* h = new QHBoxLayout;
  h->setSpacing(8);
  for (C display : {C::CALPROC, C::COUNT1}) {
    auto* l = qobject_cast<QLabel*>(at(display));
    if (!l) continue;
    l->setMinimumWidth(QFontMetrics(l->font()).horizontalAdvance(QStringLiteral("00/00/0000")) + 8);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    h->addWidget(l);
  }
  h->addStretch(1);
  h->addWidget(at(C::OK));
  h->addWidget(at(C::CANCEL));
  return h;
}

}  // namespace mervane::gui
