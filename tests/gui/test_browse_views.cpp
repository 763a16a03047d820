// The lists and their forms as a user drives them in the windows program: each list opened from
// the menu, records inserted, changed and deleted through the forms by keys, typed text and
// buttons (the tables then compared with what `mervane-cli list` prints), the scroll bar and the
// keys paging through the model, a form resized and resized back, two lists of one table side by
// side, the preview list, the swap rate form's kept place and the accessible names.
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "core/app/window_base.h"
#include "core/history/browses.h"
#include "core/history/forms.h"
#include "core/runtime/table.h"
#include "core/util/helpers.h"
#include "gui/frame/app_frame.h"
#include "gui/widgets/browse_list.h"
#include "gui/widgets/message_box.h"
#include "gui/widgets/symbol_font.h"
#include "tests/gui/gui_support.h"

namespace mervane::gui::test {

using B = BrowseControl;
using Cal = UpdateCalendarControl;
using Rate = EditSwapRateControl;
using Item = EditSwapOutControl;

namespace {

constexpr int kWait = 20000;  // sanitizer builds are slow

CalendarRecord calendar_event(int d, int h, int m, const char* ccy, const char* descr,
                              const char* actual) {
  CalendarRecord r;
  r.date = *date_serial(2009, 3, d);
  r.time = tod(h, m);
  r.currency = ccy;
  r.descr = descr;
  r.impact = "H";
  r.actual = actual;
  r.kxidcode = std::to_string(40 + d);  // not "4" + to_string(d): GCC 12 warns falsely (-Wrestrict)
  return r;
}

SwaprateRecord rate(const char* pair, double buy, double sell) {
  SwaprateRecord r;
  r.pair = pair;
  r.buy = buy;
  r.sell = sell;
  r.usd = 1;
  return r;
}

// A window that opens other windows from inside itself, as the Build window does.
class Opener final : public WindowModel {
 public:
  enum : int { PREVIEW = 1, HISTORY };
  explicit Opener(const WindowServices& s) : s_(s) {}
  const std::vector<ControlSpec>& controls() const override {
    static const std::vector<ControlSpec> v =
        ControlList(10)
            .add(PREVIEW, ControlKind::Button, "?PREVIEW", "Preview")
            .add(HISTORY, ControlKind::Button, "?HISTORY", "History")
            .take();
    return v;
  }
  std::string title() const override { return "Opener"; }
  void open() override {}
  Reply accepted(int control) override {
    if (control == PREVIEW) {
      BrowsePview preview(s_.session, s_.windows, s_.reporter);
      s_.windows.run(preview);
    }
    if (control == HISTORY) s_.windows.start(Procedure::BrowseHistoryByName);
    return Reply::stay();
  }
  Reply selecting(int) override { return Reply::stay(); }
  Reply key(KeyPress) override { return Reply::stay(); }
  Reply close_request() override {
    closed_ = true;
    return Reply::closed();
  }
  Reply other_event(const OtherEvent&) override { return Reply::stay(); }
  Reply type(int, std::string_view) override { return Reply::stay(); }
  std::string value(int) const override { return {}; }
  bool enabled(int) const override { return true; }
  bool closed() const override { return closed_; }

 private:
  WindowServices s_;
  bool closed_ = false;
};

}  // namespace

class BrowseViewsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiBed> bed_;
  std::unique_ptr<AppFrame> frame_;

  Host& host() { return frame_->host(); }
  std::string folder() const { return bed_->dir.path().toStdString(); }

  template <class Def>
  void fill(const std::vector<typename Def::Record>& records) {
    Table<Def> t(folder());
    QVERIFY(t.create().is_ok());
    QVERIFY(t.open().is_ok());
    for (const auto& r : records) {
      t.rec = r;
      QVERIFY(t.add().is_ok());
    }
  }

  // What `mervane-cli list TABLE` prints for the test's folder.
  QString cli_list(const QString& table) {
    QProcess p;
    p.start(QStringLiteral(MERVANE_CLI),
            {QStringLiteral("--dir"), bed_->dir.path(), QStringLiteral("list"), table});
    if (!p.waitForFinished(60000)) return QStringLiteral("(mervane-cli did not finish)");
    return QString::fromUtf8(p.readAllStandardOutput());
  }

  // The window titled so that takes input, other than those given.
  WindowView* wait_view(const QString& title, const QList<WindowView*>& except = {}) {
    WindowView* found = nullptr;
    wait_for(
        [&] {
          for (WindowView* v : host().views())
            if (v->windowTitle() == title && !except.contains(v) && v->isEnabled()) found = v;
          return found != nullptr;
        },
        kWait);
    return found;
  }
  bool gone(const QPointer<WindowView>& v) {
    return wait_for(
        [&] {
          const auto views = host().views();
          return !v || std::find(views.begin(), views.end(), v.data()) == views.end();
        },
        kWait);
  }
  MessageBox* wait_message() {
    MessageBox* box = nullptr;
    wait_for(
        [&] {
          const auto boxes = host().message_boxes();
          if (!boxes.empty()) box = boxes.front();
          return box != nullptr;
        },
        kWait);
    return box;
  }
  // Opens a list from the menu by its key, the frame being the active window.
  WindowView* open_list(Qt::Key key, const QString& title, const QList<WindowView*>& except = {}) {
    frame_->activateWindow();
    if (!QTest::qWaitForWindowActive(frame_.get())) return nullptr;
    QTest::keyClick(frame_.get(), key);
    return wait_view(title, except);
  }

  static BrowseList* list_of(WindowView* v) {
    return qobject_cast<BrowseList*>(v->widget_of(number(B::BROWSE_1)));
  }
  static QString cell(WindowView* v, int row, int column) {
    const PageModel* m = list_of(v)->page();
    return m->data(m->index(row, column), Qt::DisplayRole).toString();
  }
  static int rows(WindowView* v) { return list_of(v)->page()->rowCount(); }
  static QStringList column(WindowView* v, int c) {
    QStringList out;
    for (int r = 0; r < rows(v); ++r) out << cell(v, r, c);
    return out;
  }
  static int highlighted(WindowView* v) { return list_of(v)->table()->currentIndex().row(); }

  // Makes the view's window the active one, so that the cursor moves as a user moves it.
  static bool activate(WindowView* v) {
    QWidget* w = v->window();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w)) return false;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(v->parentWidget()))
      sub->mdiArea()->setActiveSubWindow(sub);
    return true;
  }
  static QLineEdit* edit(WindowView* v, int control) {
    return qobject_cast<QLineEdit*>(v->widget_of(control));
  }
  // Moves the cursor into a field as the Tab key does (the field left hands its text to the
  // model), and types over what it holds.
  static void type(WindowView* v, int control, const QString& text) {
    QLineEdit* e = edit(v, control);
    QVERIFY(e);
    e->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(e->hasFocus());
    e->selectAll();
    QTest::keyClicks(e, text);
  }
  static void press(WindowView* v, int control) {
    auto* b = qobject_cast<QAbstractButton*>(v->widget_of(control));
    QVERIFY(b);
    // A check box is clicked on its box (the rest of its place does not toggle it).
    const QPoint at = qobject_cast<QCheckBox*>(b) ? QPoint(8, b->height() / 2) : b->rect().center();
    QTest::mouseClick(b, Qt::LeftButton, {}, at);
  }
  static void list_key(WindowView* v, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(list_of(v)->table(), key, mods);
  }
  static void click_row(WindowView* v, int row) {
    QTableView* t = list_of(v)->table();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                      t->visualRect(t->model()->index(row, 1)).center());
  }

 private Q_SLOTS:
  void init() {
    bed_ = std::make_unique<GuiBed>();
    frame_ = std::make_unique<AppFrame>(bed_->session);
    frame_->show();
  }
  void cleanup() {
    frame_.reset();
    bed_.reset();
  }

  void eachListOpensFromTheMenuWithItsPage_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("firstRow");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QStringList>("tabs");
    const QStringList edits = {QStringLiteral("&Insert (Ins)"), QStringLiteral("&Change (Enter)"),
                               QStringLiteral("&Delete (Del)"), QStringLiteral("E&xit (Esc)")};
    QTest::newRow("F9 history") << int(Qt::Key_F9)
                                << QStringLiteral("View News Events History database")
                                << QStringList{QStringLiteral("Mon 2 Mar 2009"),
                                               QStringLiteral("08:30"),
                                               QStringLiteral("USD"),
                                               QStringLiteral("ISM Manufacturing"),
                                               QStringLiteral("H"),
                                               QStringLiteral("35.8")}
                                << edits
                                << QStringList{QStringLiteral(" Date / Time "),
                                               QStringLiteral(" Currency / Descr "),
                                               QStringLiteral(" Descr / Currency ")};
    QTest::newRow("F8 auxiliary items")
        << int(Qt::Key_F8) << QStringLiteral("  Auxiliary items list")
        << QStringList{QStringLiteral("SWAP"), QStringLiteral("Wed 4 Mar 2009"),
                       QStringLiteral("21:00"), QStringLiteral("2"), QStringLiteral("233")}
        << (QStringList(edits) << QStringLiteral("Modify Swap Details  (F6)"))
        << QStringList{QStringLiteral("Type / Date")};
    QTest::newRow("F3 swap rates")
        << int(Qt::Key_F3) << QStringLiteral("Swap Rates / Spread Collection settings")
        << QStringList{QStringLiteral("EURUSD"), QStringLiteral("(0.45)"), QStringLiteral("0.12"),
                       QString(), QStringLiteral("1")}
        << (QStringList(edits) << QStringLiteral("Import from Swaprate.CSV"))
        << QStringList{QStringLiteral("Sort by Pair")};
  }
  void eachListOpensFromTheMenuWithItsPage() {
    QFETCH(int, key);
    QFETCH(QString, title);
    QFETCH(QStringList, firstRow);
    QFETCH(QStringList, buttons);
    QFETCH(QStringList, tabs);
    fill<CalendarTable>({calendar_event(2, 8, 30, "USD", "ISM Manufacturing", "35.8"),
                         calendar_event(4, 10, 0, "CAD", "Overnight Rate", "0.50%")});
    SwapoutRecord item;
    item.rectype = "SWAP";
    item.date = *date_serial(2009, 3, 4);
    item.time = tod(21);
    item.spacing = 2;
    item.symbol = 233;
    fill<SwapoutTable>({item});
    fill<SwaprateTable>({rate("EURUSD", -0.45, 0.12), rate("USDJPY", 1.25, -2.1)});

    WindowView* v = open_list(static_cast<Qt::Key>(key), title);
    QVERIFY(v);
    QTRY_VERIFY_WITH_TIMEOUT(rows(v) > 0, kWait);
    for (int c = 0; c < firstRow.size(); ++c) QCOMPARE(cell(v, 0, c).trimmed(), firstRow[c]);
    QCOMPARE(highlighted(v), 0);
    QTRY_COMPARE_WITH_TIMEOUT(v->focusWidget(), list_of(v)->table(), kWait);
    // The page is the model's: as many rows as the table holds, no more.
    QCOMPARE(rows(v), key == Qt::Key_F8 ? 1 : 2);
    QStringList shown;
    for (B c : {B::INSERT, B::CHANGE, B::DELETE, B::CLOSE, B::EXTRA})
      if (auto* b = qobject_cast<QAbstractButton*>(v->widget_of(number(c)))) shown << b->text();
    QCOMPARE(shown, buttons);
    QVERIFY(!v->widget_of(number(B::SELECT))->isVisibleTo(v));
    auto* sheet = qobject_cast<QTabWidget*>(v->widget_of(number(B::CURRENTTAB)));
    QVERIFY(sheet);
    QStringList captions;
    for (int i = 0; i < sheet->count(); ++i) captions << sheet->tabText(i);
    QCOMPARE(captions, tabs);
    // Esc in the list closes it.
    QPointer<WindowView> gone_view = v;
    list_key(v, Qt::Key_Escape);
    QVERIFY(gone(gone_view));
  }

  // Ins, typed fields, the date picker button, the Wingdings preview and Enter add an event;
  // Enter on a row, a changed field and OK change one; the history as the command line lists it.
  void insertAndChangeAnEventThroughTheForm() {
    fill<CalendarTable>({calendar_event(2, 8, 30, "USD", "ISM Manufacturing", "35.8"),
                         calendar_event(4, 10, 0, "CAD", "Overnight Rate", "0.50%")});
    WindowView* list = open_list(Qt::Key_F9, QStringLiteral("View News Events History database"));
    QVERIFY(list);
    QTRY_COMPARE_WITH_TIMEOUT(rows(list), 2, kWait);
    list_key(list, Qt::Key_Insert);
    WindowView* form = wait_view(QStringLiteral("Adding a Calendar Record"));
    QVERIFY(form);
    QVERIFY(!list->isEnabled());  // the list waits for its form
    QVERIFY(activate(form));
    type(form, number(Cal::DATE), QStringLiteral("03/09/2009"));
    type(form, number(Cal::TIME), QStringLiteral("8x:30"));  // the picture drops the x
    QCOMPARE(edit(form, number(Cal::TIME))->text(), QStringLiteral("8:30"));
    type(form, number(Cal::CURRENCY), QStringLiteral("USD"));
    type(form, number(Cal::DESCR), QStringLiteral("Trade Balance"));
    type(form, number(Cal::IMPACT), QStringLiteral("H"));
    type(form, number(Cal::FORECAST), QStringLiteral("-36.0B"));
    type(form, number(Cal::SYMBOL), QStringLiteral("140"));
    type(form, number(Cal::COLOR), QStringLiteral("3"));
    // The preview shows the symbol's character once the field is left.
    auto* preview = qobject_cast<QLabel*>(form->widget_of(number(Cal::WINGCHAR)));
    QVERIFY(preview);
    QTRY_COMPARE_WITH_TIMEOUT(preview->text(), symbol_glyph(wingdings_font(), "Wingdings", 140),
                              kWait);
    QVERIFY(!preview->text().isEmpty());
    // The calendar button picks the date through the date picker.
    press(form, number(Cal::BUTTON3));
    WindowView* picker = wait_view(QStringLiteral("  Select date"));
    QVERIFY(picker);
    QAbstractButton* day10 = nullptr;
    for (int b = static_cast<int>(CalendarControl::B11);
         b <= static_cast<int>(CalendarControl::B67); ++b) {
      auto* button = qobject_cast<QAbstractButton*>(picker->widget_of(b));
      if (button && button->isVisibleTo(picker) && button->text() == QStringLiteral("10"))
        day10 = button;
    }
    QVERIFY(day10);
    QTest::mouseClick(day10, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(edit(form, number(Cal::DATE))->text(), QStringLiteral("03/10/2009"),
                              kWait);
    QVERIFY(activate(form));
    type(form, number(Cal::KXIDCODE), QStringLiteral("4710"));
    QPointer<WindowView> closing = form;
    QTest::keyClick(edit(form, number(Cal::KXIDCODE)), Qt::Key_Return);
    QVERIFY(gone(closing));
    // The page is read again at the new record, which is highlighted.
    QTRY_COMPARE_WITH_TIMEOUT(rows(list), 3, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(cell(list, highlighted(list), 3), QStringLiteral("Trade Balance"),
                              kWait);
    QCOMPARE(cli_list(QStringLiteral("calendar")),
             QStringLiteral(
                 "date,time,currency,descr,symbol,impact,color,actual,forecast,previous,spacing,"
                 "revisedfrom,kxidcode\n"
                 "03/02/2009,08:30,USD,ISM Manufacturing,,H,,35.8,,,,,42\n"
                 "03/04/2009,10:00,CAD,Overnight Rate,,H,,0.50%,,,,,44\n"
                 "03/10/2009,08:30,USD,Trade Balance,140,H,3,,-36.0B,,,,4710\n"));

    // Change: the second row clicked, Enter, the actual typed over, OK pressed.
    QVERIFY(activate(list));
    click_row(list, 1);
    QTRY_COMPARE_WITH_TIMEOUT(highlighted(list), 1, kWait);
    list_key(list, Qt::Key_Return);
    form = wait_view(QStringLiteral("Changing a Calendar Record"));
    QVERIFY(form);
    QCOMPARE(edit(form, number(Cal::DESCR))->text(), QStringLiteral("Overnight Rate"));
    QCOMPARE(edit(form, number(Cal::DATE))->text(), QStringLiteral("03/04/2009"));
    QVERIFY(activate(form));
    type(form, number(Cal::ACTUAL), QStringLiteral("0.25%"));
    closing = form;
    press(form, number(Cal::OK));
    QVERIFY(gone(closing));
    QTRY_COMPARE_WITH_TIMEOUT(cell(list, 1, 5), QStringLiteral("0.25%"), kWait);
    QVERIFY(
        cli_list(QStringLiteral("calendar"))
            .contains(QStringLiteral("03/04/2009,10:00,CAD,Overnight Rate,,H,,0.25%,,,,,44\n")));
  }

  // The swap rate form: a pair that exists is named as a duplicate and the form stays; check
  // boxes are clicked; Del asks, and Cancel keeps the record while OK deletes it.
  void swapRatesInsertDuplicateAndDelete() {
    fill<SwaprateTable>({rate("EURUSD", -0.45, 0.12)});
    WindowView* list =
        open_list(Qt::Key_F3, QStringLiteral("Swap Rates / Spread Collection settings"));
    QVERIFY(list);
    QTRY_COMPARE_WITH_TIMEOUT(rows(list), 1, kWait);
    press(list, number(B::INSERT));
    WindowView* form = wait_view(QStringLiteral("Adding a Swaprate Record"));
    QVERIFY(form);
    QVERIFY(activate(form));
    type(form, number(Rate::PAIR), QStringLiteral("EURUSD"));
    type(form, number(Rate::BUY), QStringLiteral("-1.5"));
    type(form, number(Rate::SELL), QStringLiteral("0.75"));
    press(form, number(Rate::HIGH));
    press(form, number(Rate::OK));
    MessageBox* box = wait_message();
    QVERIFY(box);
    QCOMPARE(
        box->text(),
        QStringLiteral("Adding this record creates a duplicate entry for the key:SWR:KeyPair"));
    box->button_for(kOkButton)->click();
    QTRY_VERIFY_WITH_TIMEOUT(form->isEnabled(), kWait);
    QCOMPARE(form->windowTitle(), QStringLiteral("Adding a Swaprate Record"));
    QVERIFY(activate(form));
    type(form, number(Rate::PAIR), QStringLiteral("AUDUSD"));
    press(form, number(Rate::USD));
    QTRY_VERIFY_WITH_TIMEOUT(
        qobject_cast<QCheckBox*>(form->widget_of(number(Rate::USD)))->isChecked(), kWait);
    QPointer<WindowView> closing = form;
    press(form, number(Rate::OK));
    QVERIFY(gone(closing));
    QTRY_COMPARE_WITH_TIMEOUT(
        column(list, 0), (QStringList{QStringLiteral("AUDUSD"), QStringLiteral("EURUSD")}), kWait);
    QCOMPARE(cli_list(QStringLiteral("swaprate")),
             QStringLiteral("pair,buy,sell,all,usd,cad,eur,gbp,chf,jpy,aud,nzd,high,med,low\n"
                            "AUDUSD,-1.5,0.75,0,1,0,0,0,0,0,0,0,1,0,0\n"
                            "EURUSD,-0.45,0.12,0,1,0,0,0,0,0,0,0,0,0,0\n"));

    // Del on EURUSD: Cancel keeps it, OK deletes it.
    QVERIFY(activate(list));
    click_row(list, 1);
    QTRY_COMPARE_WITH_TIMEOUT(highlighted(list), 1, kWait);
    // The form asked to delete asks and deletes without ever showing itself.
    QSignalSpy opened(&host(), &Host::viewOpened);
    for (const int answer : {kCancelButton, kOkButton}) {
      list_key(list, Qt::Key_Delete);
      box = wait_message();
      QVERIFY(box);
      QCOMPARE(box->text(), QStringLiteral("You've selected to delete the highlighted record.  "
                                           "Press OK to confirm deletion of this record."));
      box->button_for(answer)->click();
      QTRY_VERIFY_WITH_TIMEOUT(list->isEnabled(), kWait);
    }
    QTRY_COMPARE_WITH_TIMEOUT(column(list, 0), QStringList{QStringLiteral("AUDUSD")}, kWait);
    QCOMPARE(opened.count(), 0);
    QCOMPARE(cli_list(QStringLiteral("swaprate")),
             QStringLiteral("pair,buy,sell,all,usd,cad,eur,gbp,chf,jpy,aud,nzd,high,med,low\n"
                            "AUDUSD,-1.5,0.75,0,1,0,0,0,0,0,0,0,1,0,0\n"));
  }

  // The item form: F7 repeats the item confirmed last, Ctrl+' recalls one field of it.
  void itemFormDuplicateAndDitto() {
    WindowView* list = open_list(Qt::Key_F8, QStringLiteral("  Auxiliary items list"));
    QVERIFY(list);
    list_key(list, Qt::Key_Insert);
    WindowView* form = wait_view(QStringLiteral("Adding a Swapout Record"));
    QVERIFY(form);
    QVERIFY(activate(form));
    type(form, number(Item::RECTYPE), QStringLiteral("NOTE"));
    type(form, number(Item::DATE), QStringLiteral("03/06/2009"));
    type(form, number(Item::TIME), QStringLiteral("13:00"));
    type(form, number(Item::SYMBOL), QStringLiteral("171"));
    press(form, number(Item::H1));
    type(form, number(Item::TEXT1), QStringLiteral("Payrolls week"));
    QPointer<WindowView> closing = form;
    QTest::keyClick(edit(form, number(Item::TEXT1)), Qt::Key_Return);
    QVERIFY(gone(closing));
    QTRY_COMPARE_WITH_TIMEOUT(rows(list), 1, kWait);

    QVERIFY(activate(list));
    list_key(list, Qt::Key_Insert);
    form = wait_view(QStringLiteral("Adding a Swapout Record"));
    QVERIFY(form);
    QVERIFY(activate(form));
    // Ctrl+' in Text 1: that field alone.
    type(form, number(Item::TEXT1), QString());
    QTest::keyClick(edit(form, number(Item::TEXT1)), Qt::Key_Apostrophe, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(edit(form, number(Item::TEXT1))->text(),
                              QStringLiteral("Payrolls week"), kWait);
    QCOMPARE(edit(form, number(Item::RECTYPE))->text(), QString());
    // F7: every field.
    QTest::keyClick(edit(form, number(Item::TEXT1)), Qt::Key_F7);
    QTRY_COMPARE_WITH_TIMEOUT(edit(form, number(Item::RECTYPE))->text(), QStringLiteral("NOTE"),
                              kWait);
    QVERIFY(qobject_cast<QCheckBox*>(form->widget_of(number(Item::H1)))->isChecked());
    type(form, number(Item::DATE), QStringLiteral("03/13/2009"));
    closing = form;
    QTest::keyClick(edit(form, number(Item::DATE)), Qt::Key_Return);
    QVERIFY(gone(closing));
    QTRY_COMPARE_WITH_TIMEOUT(rows(list), 2, kWait);
    QCOMPARE(cli_list(QStringLiteral("swapout")),
             QStringLiteral("rectype,date,time,spacing,symbol,color,currency,m1,m5,m15,m30,h1,h4,"
                            "d1,w1,mn1,text1,text2\n"
                            "NOTE,03/06/2009,13:00,0,171,0,,0,0,0,0,1,0,0,0,0,Payrolls week,\n"
                            "NOTE,03/13/2009,13:00,0,171,0,,0,0,0,0,1,0,0,0,0,Payrolls week,\n"));
  }

  // The scroll bar, the wheel and the keys page through the model; a tab keeps the record; a
  // typed letter locates; a taller window shows more rows.
  void theListPagesThroughTheModel() {
    std::vector<CalendarRecord> events;
    const char* ccys[] = {"EUR", "USD", "GBP", "JPY"};
    for (int i = 0; i < 120; ++i)
      events.push_back(calendar_event(1 + i / 6, 8 + i % 6, 0, ccys[i % 4],
                                      ("Event " + std::to_string(1000 + i)).c_str(), ""));
    fill<CalendarTable>(events);
    WindowView* list = open_list(Qt::Key_F9, QStringLiteral("View News Events History database"));
    QVERIFY(list);
    BrowseList* l = list_of(list);
    // The page holds what fits, as the view measured it.
    QTRY_COMPARE_WITH_TIMEOUT(rows(list), l->rows_that_fit(), kWait);
    const int page = rows(list);
    QVERIFY(page > 5);
    QCOMPARE(cell(list, 0, 3), QStringLiteral("Event 1000"));
    QCOMPARE(l->scroll_bar()->value(), 1);

    list_key(list, Qt::Key_PageDown);
    QTRY_COMPARE_WITH_TIMEOUT(cell(list, 0, 3), QString::fromLatin1("Event %1").arg(1000 + page),
                              kWait);
    l->scroll_bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QTRY_COMPARE_WITH_TIMEOUT(cell(list, 0, 3), QString::fromLatin1("Event %1").arg(1001 + page),
                              kWait);
    QCOMPARE(l->scroll_bar()->value(), l->scroll_bar()->sliderPosition());
    QWheelEvent up(QPointF(10, 10), l->table()->viewport()->mapToGlobal(QPointF(10, 10)), {},
                   QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(l->table()->viewport(), &up);
    QTRY_COMPARE_WITH_TIMEOUT(
        cell(list, 0, 3),
        QString::fromLatin1("Event %1").arg(1001 + page - QApplication::wheelScrollLines()), kWait);
    // The thumb dropped at stop 50: the page starts half way through the dates.
    l->scroll_bar()->setSliderDown(true);
    l->scroll_bar()->setSliderPosition(50);
    l->scroll_bar()->setSliderDown(false);
    // (The dates run from 1 to 20 March.)
    auto first_day = [&] { return cell(list, 0, 0).section(QLatin1Char(' '), 1, 1).toInt(); };
    QTRY_VERIFY_WITH_TIMEOUT(first_day() >= 9 && first_day() <= 12, kWait);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(l->scroll_bar()->value() - 50) <= 5, kWait);
    list_key(list, Qt::Key_End);
    QTRY_COMPARE_WITH_TIMEOUT(cell(list, highlighted(list), 3), QStringLiteral("Event 1119"),
                              kWait);
    QTRY_VERIFY_WITH_TIMEOUT(l->scroll_bar()->value() > 80, kWait);

    // The second tab (currency first) keeps the highlighted record; "u" finds the first USD one.
    auto* sheet = qobject_cast<QTabWidget*>(list->widget_of(number(B::CURRENTTAB)));
    sheet->setCurrentIndex(1);
    QTRY_COMPARE_WITH_TIMEOUT(sheet->currentIndex(), 1, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(cell(list, 0, 2), QStringLiteral("JPY"), kWait);
    QCOMPARE(cell(list, highlighted(list), 3), QStringLiteral("Event 1119"));
    list_key(list, Qt::Key_Home);
    QTRY_COMPARE_WITH_TIMEOUT(cell(list, 0, 2), QStringLiteral("EUR"), kWait);
    QTest::keyClicks(l->table(), QStringLiteral("u"));
    QTRY_COMPARE_WITH_TIMEOUT(cell(list, highlighted(list), 2), QStringLiteral("USD"), kWait);
    QCOMPARE(cell(list, highlighted(list), 3), QStringLiteral("Event 1001"));

    // A taller window: the list grows and its page holds more rows.
    auto* sub = qobject_cast<QMdiSubWindow*>(list->parentWidget());
    QVERIFY(sub);
    sub->resize(sub->width(), sub->height() + 200);
    QTRY_VERIFY_WITH_TIMEOUT(l->rows_that_fit() > page, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(rows(list), l->rows_that_fit(), kWait);
  }

  // Resized by the user, a form spreads its controls (the date picker's button stays beside its
  // field); resized back, every control is at its initial place and size.
  void aFormResizedAndResizedBack() {
    WindowView* list = open_list(Qt::Key_F9, QStringLiteral("View News Events History database"));
    QVERIFY(list);
    list_key(list, Qt::Key_Insert);
    WindowView* form = wait_view(QStringLiteral("Adding a Calendar Record"));
    QVERIFY(form);
    QHash<QWidget*, QRect> initial;
    for (const ControlSpec& c : form->control_defs())
      if (QWidget* w = form->widget_of(c.id)) initial.insert(w, w->geometry());
    const QSize size = form->size();
    QCOMPARE(form->minimumSize(), size);

    form->resize(size.width() * 3 / 2, size.height() * 4 / 3);
    QLineEdit* date = edit(form, number(Cal::DATE));
    QWidget* button = form->widget_of(number(Cal::BUTTON3));
    QLineEdit* descr = edit(form, number(Cal::DESCR));
    QTRY_VERIFY_WITH_TIMEOUT(descr->width() > initial.value(descr).width(), kWait);
    QCOMPARE(descr->height(), initial.value(descr).height());  // entries keep their height
    QVERIFY(button->x() >= date->geometry().right());
    auto* ok = form->widget_of(number(Cal::OK));
    QCOMPARE(ok->size(), initial.value(ok).size());
    // Kept from the right edge (to a pixel or two: the model places in dialog units).
    QVERIFY(qAbs((form->width() - ok->geometry().right()) -
                 (size.width() - initial.value(ok).right())) <= 3);

    form->resize(size);
    QTRY_COMPARE_WITH_TIMEOUT(descr->geometry(), initial.value(descr), kWait);
    for (auto it = initial.begin(); it != initial.end(); ++it)
      QCOMPARE(it.key()->geometry(), it.value());
    QPointer<WindowView> closing = form;
    QTest::keyClick(descr, Qt::Key_Escape);
    QVERIFY(gone(closing));
    QCOMPARE(cli_list(QStringLiteral("calendar")),
             QStringLiteral("date,time,currency,descr,symbol,impact,color,actual,forecast,previous,"
                            "spacing,revisedfrom,kxidcode\n"));
  }

  // F9 twice: a change in one list shows in the other when its page is read again; a change
  // that meets a record changed since its form read it shows warning 38 and the stored version,
  // and Ctrl+' brings back what the user typed.
  void twoListsOfOneTable() {
    fill<CalendarTable>({calendar_event(2, 8, 30, "USD", "ISM Manufacturing", "35.8"),
                         calendar_event(4, 10, 0, "CAD", "Overnight Rate", "0.50%")});
    const QString title = QStringLiteral("View News Events History database");
    WindowView* a = open_list(Qt::Key_F9, title);
    QVERIFY(a);
    WindowView* b = open_list(Qt::Key_F9, title, {a});
    QVERIFY(b);
    // Side by side (moved, not resized: a new size would read the pages again).
    frame_->resize(2 * a->window()->width() + 40, frame_->height());
    auto* sa = qobject_cast<QMdiSubWindow*>(a->parentWidget());
    auto* sb = qobject_cast<QMdiSubWindow*>(b->parentWidget());
    QVERIFY(sa && sb);
    sa->move(0, 0);
    sb->move(sa->geometry().right() + 1, 0);
    QTRY_COMPARE_WITH_TIMEOUT(rows(a), 2, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(rows(b), 2, kWait);
    // Each list has told its model the rows it holds (which reads the page again).
    for (WindowView* v : {a, b})
      QTRY_COMPARE_WITH_TIMEOUT(list_of(v)->page_rows(), list_of(v)->rows_that_fit(), kWait);

    // In A, the first event's actual becomes 36.1.
    QVERIFY(activate(a));
    list_key(a, Qt::Key_Return);
    WindowView* fa = wait_view(QStringLiteral("Changing a Calendar Record"));
    QVERIFY(fa);
    QVERIFY(activate(fa));
    type(fa, number(Cal::ACTUAL), QStringLiteral("36.1"));
    QPointer<WindowView> closing = fa;
    QTest::keyClick(edit(fa, number(Cal::ACTUAL)), Qt::Key_Return);
    QVERIFY(gone(closing));
    QTRY_COMPARE_WITH_TIMEOUT(cell(a, 0, 5), QStringLiteral("36.1"), kWait);
    QCOMPARE(cell(b, 0, 5), QStringLiteral("35.8"));  // B has not read its page again
    QVERIFY(activate(b));
    list_key(b, Qt::Key_End);
    list_key(b, Qt::Key_Home);
    QTRY_COMPARE_WITH_TIMEOUT(cell(b, 0, 5), QStringLiteral("36.1"), kWait);

    // B opens the second event (a double click); A changes it meanwhile (Ctrl+Enter); B's
    // change meets warning 38.
    QTableView* tb = list_of(b)->table();
    // (A widget's double click in Qt Test is the second click alone.)
    click_row(b, 1);
    QTest::mouseDClick(tb->viewport(), Qt::LeftButton, {},
                       tb->visualRect(tb->model()->index(1, 1)).center());
    WindowView* fb = wait_view(QStringLiteral("Changing a Calendar Record"));
    QVERIFY(fb);
    QCOMPARE(edit(fb, number(Cal::DESCR))->text(), QStringLiteral("Overnight Rate"));
    QVERIFY(activate(a));
    click_row(a, 1);
    QTRY_COMPARE_WITH_TIMEOUT(highlighted(a), 1, kWait);
    list_key(a, Qt::Key_Return, Qt::ControlModifier);
    fa = wait_view(QStringLiteral("Changing a Calendar Record"), {fb});
    QVERIFY(fa);
    QVERIFY(activate(fa));
    type(fa, number(Cal::ACTUAL), QStringLiteral("0.75%"));
    closing = fa;
    press(fa, number(Cal::OK));
    QVERIFY(gone(closing));

    QVERIFY(activate(fb));
    type(fb, number(Cal::ACTUAL), QStringLiteral("1.00%"));
    QTest::keyClick(edit(fb, number(Cal::ACTUAL)), Qt::Key_Return);
    MessageBox* box = wait_message();
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Record Was Not Updated"));
    box->button_for(kOkButton)->click();
    // The form stays, showing the stored version.
    QTRY_VERIFY_WITH_TIMEOUT(fb->isEnabled(), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(edit(fb, number(Cal::ACTUAL))->text(), QStringLiteral("0.75%"),
                              kWait);
    QVERIFY(cli_list(QStringLiteral("calendar")).contains(QStringLiteral(",0.75%,")));
    // Ctrl+' brings back what was typed; OK stores it now.
    QVERIFY(activate(fb));
    type(fb, number(Cal::ACTUAL), QString());
    QTest::keyClick(edit(fb, number(Cal::ACTUAL)), Qt::Key_Apostrophe, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(edit(fb, number(Cal::ACTUAL))->text(), QStringLiteral("1.00%"),
                              kWait);
    closing = fb;
    press(fb, number(Cal::OK));
    QVERIFY(gone(closing));
    QTRY_COMPARE_WITH_TIMEOUT(cell(b, 1, 5), QStringLiteral("1.00%"), kWait);
    QVERIFY(
        cli_list(QStringLiteral("calendar"))
            .contains(QStringLiteral("03/04/2009,10:00,CAD,Overnight Rate,,H,,1.00%,,,,,44\n")));
  }

  // A window's Preview opens the preview list on its own thread's window, which blocks only its
  // caller and has "Close" alone; the history list a Build run starts opens in the frame.
  void previewAndHistoryListsOpenedFromAWindow() {
    PviewRecord p;
    p.date = *date_serial(2009, 3, 2);
    p.time = tod(8, 30);
    p.currency = "USD";
    p.descr = "ISM Manufacturing";
    fill<PviewTable>({p});
    host().start([](const WindowServices& s) { return std::make_unique<Opener>(s); });
    WindowView* opener = wait_view(QStringLiteral("Opener"));
    QVERIFY(opener);
    press(opener, Opener::PREVIEW);
    WindowView* preview = wait_view(QStringLiteral("  Preview Export"));
    QVERIFY(preview);
    QVERIFY(!opener->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(rows(preview), 1, kWait);
    QCOMPARE(cell(preview, 0, 3), QStringLiteral("ISM Manufacturing"));
    QStringList buttons;
    for (QPushButton* b : preview->findChildren<QPushButton*>())
      if (b->isVisibleTo(preview)) buttons << b->text();
    QCOMPARE(buttons, QStringList{QStringLiteral("Close")});
    QPointer<WindowView> closing = preview;
    press(preview, number(B::CLOSE));
    QVERIFY(gone(closing));
    QTRY_VERIFY_WITH_TIMEOUT(opener->isEnabled(), kWait);

    press(opener, Opener::HISTORY);
    WindowView* history = wait_view(QStringLiteral("View News Events History database"));
    QVERIFY(history);
    QVERIFY(qobject_cast<QMdiSubWindow*>(history->parentWidget()));
    QVERIFY(opener->isEnabled());
  }

  // The swap rate form opens where the first one of the run was placed, even when the frame has
  // grown since (a new one would be centred elsewhere).
  void theSwapRateFormReopensWhereItWasFirstPlaced() {
    WindowView* list =
        open_list(Qt::Key_F3, QStringLiteral("Swap Rates / Spread Collection settings"));
    QVERIFY(list);
    list_key(list, Qt::Key_Insert);
    WindowView* form = wait_view(QStringLiteral("Adding a Swaprate Record"));
    QVERIFY(form);
    const QPoint first = form->pos() - frame_->mapToGlobal(QPoint());
    QTRY_VERIFY_WITH_TIMEOUT(bed_->session.place("EDITSWAPRATE").has_value(), kWait);
    form->move(form->pos() + QPoint(60, 40));  // moved afterwards: not where it was placed
    QPointer<WindowView> closing = form;
    QTest::keyClick(edit(form, number(Rate::PAIR)), Qt::Key_Escape);
    QVERIFY(gone(closing));
    frame_->resize(frame_->width() + 300, frame_->height() + 200);
    QVERIFY(activate(list));
    list_key(list, Qt::Key_Insert);
    form = wait_view(QStringLiteral("Adding a Swaprate Record"));
    QVERIFY(form);
    const QPoint again = form->pos() - frame_->mapToGlobal(QPoint());
    QVERIFY(qAbs(again.x() - first.x()) <= 2 && qAbs(again.y() - first.y()) <= 2);
  }

  // Every control of the lists and forms reaches automation through Qt's accessibility bridge:
  // its label or prompt as its name, its use name as its description.
  void accessibleNamesAndDescriptions() {
    WindowView* list = open_list(Qt::Key_F9, QStringLiteral("View News Events History database"));
    QVERIFY(list);
    auto name_of = [](QWidget* w) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      return a ? a->text(QAccessible::Name) : QStringLiteral("(none)");
    };
    auto description_of = [](QWidget* w) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      return a ? a->text(QAccessible::Description) : QStringLiteral("(none)");
    };
    QCOMPARE(name_of(list), QStringLiteral("View News Events History database"));
    QCOMPARE(name_of(list->widget_of(number(B::BROWSE_1))), QStringLiteral("Browsing Records"));
    QCOMPARE(description_of(list->widget_of(number(B::BROWSE_1))), QStringLiteral("BROWSE:1"));
    QCOMPARE(name_of(list_of(list)->table()), QStringLiteral("Browsing Records"));
    QCOMPARE(name_of(list->widget_of(number(B::INSERT))), QStringLiteral("Insert (Ins)"));
    QCOMPARE(description_of(list->widget_of(number(B::CHANGE))), QStringLiteral("CHANGE"));

    list_key(list, Qt::Key_Insert);
    WindowView* form = wait_view(QStringLiteral("Adding a Calendar Record"));
    QVERIFY(form);
    QCOMPARE(name_of(form), QStringLiteral("Adding a Calendar Record"));
    const struct {
      int control;
      const char* name;
      const char* description;
    } cases[] = {
        {number(Cal::DATE), "Date  (mm/dd/yyyy):", "CAL:DATE"},
        {number(Cal::BUTTON3), "Date  (mm/dd/yyyy):", "BUTTON3"},
        {number(Cal::DESCR), "Descr:", "CAL:DESCR"},
        {number(Cal::REVISEDFROM), "Revised From:", "CAL:REVISEDFROM"},
        {number(Cal::WINGCHAR), "Symbol:", "WINGCHAR"},
        {number(Cal::OK), "OK (Enter)", "OK"},
        {number(Cal::CANCEL), "Cancel (Esc)", "CANCEL"},
    };
    for (const auto& c : cases) {
      QWidget* w = form->widget_of(c.control);
      QVERIFY(w);
      QCOMPARE(name_of(w), QString::fromLatin1(c.name));
      QCOMPARE(description_of(w), QString::fromLatin1(c.description));
    }
  }
};

}  // namespace mervane::gui::test

QTEST_MAIN(mervane::gui::test::BrowseViewsTest)
#include "test_browse_views.moc"
