// The window host driven as a user drives the windows: two windows with a date picker each,
// closed in either order; stop messages answered Ignore and Abort; a long run counting live
// while the other windows stay usable; accessible names.
#include <QAccessible>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "core/runtime/clock.h"
#include "gui/frame/app_frame.h"
#include "gui/widgets/message_box.h"
#include "tests/gui/gui_support.h"

namespace mervane::gui::test {

class HostTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiBed> bed_;
  std::unique_ptr<AppFrame> frame_;
  int run_items_ = 0;

  Host& host() { return frame_->host(); }
  WindowView* view_titled(const QString& title) {
    for (WindowView* v : host().views())
      if (v->windowTitle() == title) return v;
    return nullptr;
  }
  // Starts a test window and waits for its view.
  WindowView* start(const QString& title) {
    const int items = run_items_;
    const std::string t = title.toStdString();
    host().start([t, items](const WindowServices& s) {
      auto w = std::make_unique<TestWindow>(s, t);
      w->run_items = items;
      return w;
    });
    WindowView* v = nullptr;
    // The window takes input once its first event has been served.
    wait_for([&] { return (v = view_titled(title)) != nullptr && v->isEnabled(); });
    return v;
  }
  // Presses a window's button and waits until the date picker it opens is up.
  WindowView* open_picker(WindowView* caller) {
    const auto before = host().views();
    QTest::mouseClick(qobject_cast<QAbstractButton*>(caller->widget_of(PICK)), Qt::LeftButton);
    WindowView* picker = nullptr;
    wait_for([&] {
      for (WindowView* v : host().views())
        if (v->windowTitle() == QStringLiteral("  Select date") &&
            std::find(before.begin(), before.end(), v) == before.end())
          picker = v;
      return picker != nullptr && picker->isEnabled();
    });
    return picker;
  }
  // The day button of the picker that shows the day.
  QAbstractButton* day(WindowView* picker, int d) {
    for (int b = static_cast<int>(CalendarControl::B11);
         b <= static_cast<int>(CalendarControl::B67); ++b) {
      auto* button = qobject_cast<QAbstractButton*>(picker->widget_of(b));
      if (button && button->isVisibleTo(picker) && button->text() == QString::number(d))
        return button;
    }
    return nullptr;
  }
  QString date_of(WindowView* v) { return qobject_cast<QLineEdit*>(v->widget_of(DATE))->text(); }
  MessageBox* wait_message() {
    MessageBox* box = nullptr;
    wait_for([&] {
      const auto boxes = host().message_boxes();
      if (!boxes.empty()) box = boxes.front();
      return box != nullptr;
    });
    return box;
  }

 private Q_SLOTS:
  void init() {
    bed_ = std::make_unique<GuiBed>();
    frame_ = std::make_unique<AppFrame>(bed_->session);
    frame_->show();
    run_items_ = 0;
  }
  void cleanup() {
    frame_.reset();
    bed_.reset();
  }

  void twoPickersCloseInEitherOrder_data() {
    QTest::addColumn<bool>("firstOpenedFirst");
    QTest::newRow("first opened closes first") << true;
    QTest::newRow("last opened closes first") << false;
  }
  void twoPickersCloseInEitherOrder() {
    QFETCH(bool, firstOpenedFirst);
    WindowView* a = start(QStringLiteral("Window A"));
    WindowView* b = start(QStringLiteral("Window B"));
    QVERIFY(a && b);
    WindowView* pa = open_picker(a);
    QVERIFY(pa);
    QTRY_VERIFY(!a->isEnabled());
    QVERIFY(b->isEnabled());
    WindowView* pb = open_picker(b);
    QVERIFY(pb);
    QTRY_VERIFY(!b->isEnabled());
    QVERIFY(frame_->isEnabled());

    WindowView* first = firstOpenedFirst ? pa : pb;
    WindowView* other_picker = firstOpenedFirst ? pb : pa;
    WindowView* first_caller = firstOpenedFirst ? a : b;
    WindowView* other_caller = firstOpenedFirst ? b : a;
    QPointer<WindowView> gone = first;
    QAbstractButton* day20 = day(first, 20);
    QVERIFY(day20);
    QTest::mouseClick(day20, Qt::LeftButton);
    QTRY_VERIFY(gone.isNull());
    QTRY_COMPARE(date_of(first_caller), QStringLiteral("03/20/2009"));
    QTRY_VERIFY(first_caller->isEnabled());
    QVERIFY(!other_caller->isEnabled());

    // The freed window works while the other picker is still open: a typed date reaches its
    // model and comes back through its picture.
    auto* edit = qobject_cast<QLineEdit*>(first_caller->widget_of(DATE));
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("4/1/2009"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(first_caller->last_state().controls[DATE - 1].value, std::string("04/01/2009"));
    QTRY_COMPARE(edit->text(), QStringLiteral("04/01/2009"));
    QVERIFY(!other_picker->isHidden());

    QPointer<WindowView> gone2 = other_picker;
    QTest::mouseClick(qobject_cast<QAbstractButton*>(
                          other_picker->widget_of(static_cast<int>(CalendarControl::CANCEL))),
                      Qt::LeftButton);
    QTRY_VERIFY(gone2.isNull());
    QTRY_VERIFY(other_caller->isEnabled());
    QCOMPARE(date_of(other_caller), QString());
    // A mask applies to one call only, whichever picker closed last.
    QCOMPARE(bed_->session.globals().cmask.str(), std::string("1111111"));
  }

  void pictureRefusesWhatTheWindowRefuses() {
    WindowView* a = start(QStringLiteral("Window A"));
    auto* edit = qobject_cast<QLineEdit*>(a->widget_of(DATE));
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("1x2/3"));
    QCOMPARE(edit->text(), QStringLiteral("12/3"));
    // Left half-typed: the model refuses it with its warning and the field shows its value.
    QTest::keyClick(edit, Qt::Key_Tab);
    MessageBox* box = wait_message();
    QVERIFY(box);
    QTRY_VERIFY(!a->isEnabled());
    box->button_for(kOkButton)->click();
    QTRY_VERIFY(a->isEnabled());
    QCOMPARE(a->last_state().controls[DATE - 1].value, std::string());
    QTRY_COMPARE(edit->text(), QString());
  }

  void stopAnsweredIgnoreCarriesOn() {
    WindowView* a = start(QStringLiteral("Window A"));
    WindowView* b = start(QStringLiteral("Window B"));
    QTest::mouseClick(qobject_cast<QAbstractButton*>(a->widget_of(STOP)), Qt::LeftButton);
    MessageBox* box = wait_message();
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Stop"));
    QCOMPARE(box->text(), QStringLiteral("Open(TEST) - File Not Found"));
    QCOMPARE(box->defaultButton(), box->button_for(kAbortAnswer));
    QTRY_VERIFY(!a->isEnabled());
    QVERIFY(b->isEnabled());
    box->button_for(kIgnoreAnswer)->click();
    QTRY_COMPARE(qobject_cast<QAbstractButton*>(a->widget_of(STOP))->text(),
                 QStringLiteral("&Stop test (1)"));
    QTRY_VERIFY(a->isEnabled());
    std::ifstream news(std::filesystem::path(bed_->dir.path().toStdString()) / "News.CSV");
    std::string line;
    std::getline(news, line);
    QCOMPARE(line, std::string("half\r"));
  }

  void stopAnsweredAbortUnwindsEveryWindowAndEnds() {
    const std::filesystem::path folder = bed_->dir.path().toStdString();
    std::ofstream(folder / "News.CSV") << "previous\r\n";
    QSignalSpy ended(&host(), &Host::programEnded);
    WindowView* a = start(QStringLiteral("Window A"));
    WindowView* b = start(QStringLiteral("Window B"));
    QVERIFY(open_picker(b));
    QTest::mouseClick(qobject_cast<QAbstractButton*>(a->widget_of(STOP)), Qt::LeftButton);
    MessageBox* box = wait_message();
    QVERIFY(box);
    box->button_for(kAbortAnswer)->click();
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.front().at(0).toInt(), kEndedExitCode);
    QCOMPARE(ended.front().at(1).toString(), QStringLiteral("Open(TEST) - File Not Found"));
    QCOMPARE(host().running(), 0);
    QTRY_VERIFY(host().views().empty());
    // The half-written file never replaced the previous one, and no temporary is left.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
      ++files;
      QCOMPARE(e.path().filename().string(), std::string("News.CSV"));
    }
    QCOMPARE(files, 1);
    std::ifstream news(folder / "News.CSV");
    std::string line;
    std::getline(news, line);
    QCOMPARE(line, std::string("previous\r"));
    // The picker's mask is back for the next start, too.
    QCOMPARE(bed_->session.globals().cmask.str(), std::string("1111111"));
  }

  void longRunCountsLiveWhileOtherWindowsWork() {
    run_items_ = 400;
    WindowView* a = start(QStringLiteral("Window A"));
    WindowView* b = start(QStringLiteral("Window B"));
    auto* count = qobject_cast<QLabel*>(a->widget_of(COUNT));
    QTest::mouseClick(qobject_cast<QAbstractButton*>(a->widget_of(RUN)), Qt::LeftButton);
    // Busy: the window takes no input, and its counter moves before the run ends.
    QTRY_VERIFY(!a->isEnabled());
    QTRY_VERIFY(!count->text().isEmpty() && count->text().toInt() > 0);
    const int seen = count->text().toInt();
    QVERIFY(seen < 400);
    // The other window opens its picker and closes it meanwhile.
    WindowView* pb = open_picker(b);
    QVERIFY(pb);
    QPointer<WindowView> gone = pb;
    QTest::keyClick(pb, Qt::Key_Escape);
    QTRY_VERIFY(gone.isNull());
    QTRY_VERIFY_WITH_TIMEOUT(a->isEnabled(), 20000);
    QCOMPARE(count->text(), QStringLiteral("400"));
  }

  void symbolChartOpensFromAWindowAndClosesWithEnter() {
    WindowView* a = start(QStringLiteral("Window A"));
    QTest::mouseClick(qobject_cast<QAbstractButton*>(a->widget_of(CHART)), Qt::LeftButton);
    WindowView* chart = nullptr;
    wait_for([&] {
      return (chart = view_titled(QStringLiteral("  View Wingding characters"))) &&
             chart->isEnabled();
    });
    QVERIFY(chart);
    auto* image =
        qobject_cast<QLabel*>(chart->widget_of(static_cast<int>(WingdingChartControl::IMAGE1)));
    QCOMPARE(image->pixmap().size(), QSize(751, 299));
    QTRY_VERIFY(chart->widget_of(static_cast<int>(WingdingChartControl::CANCEL))->hasFocus() ||
                chart->isActiveWindow() == false);
    QPointer<WindowView> gone = chart;
    QTest::keyClick(chart->widget_of(static_cast<int>(WingdingChartControl::CANCEL)),
                    Qt::Key_Escape);
    QTRY_VERIFY(gone.isNull());
    QTRY_VERIFY(a->isEnabled());
  }

  void initialSetupOpensOverItsCallerAndCancelGivesNoFolder() {
    WindowView* a = start(QStringLiteral("Window A"));
    bed_->session.with([](Globals& g) { g.parm3 = "OLD"; });
    QTest::mouseClick(qobject_cast<QAbstractButton*>(a->widget_of(SETUP)), Qt::LeftButton);
    WindowView* setup = nullptr;
    wait_for([&] {
      return (setup = view_titled(QStringLiteral(" Initial Setup"))) && setup->isEnabled();
    });
    QVERIFY(setup);
    QTRY_VERIFY(!a->isEnabled());
    QCOMPARE(setup->accessibleName(), QStringLiteral("Initial Setup"));
    QPointer<WindowView> gone = setup;
    QTest::keyClick(setup, Qt::Key_Escape);
    QTRY_VERIFY(gone.isNull());
    QTRY_VERIFY(a->isEnabled());
    QCOMPARE(bed_->session.globals().parm3.str(), std::string());
  }

  void aWindowWhoseCloseEndsTheProgramEndsItCleanly() {
    QSignalSpy ended(&host(), &Host::programEnded);
    start(QStringLiteral("Window A"));
    host().start([](const WindowServices&) { return std::make_unique<EndingWindow>(); });
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.front().at(0).toInt(), 0);
    QCOMPARE(ended.front().at(1).toString(), QString());
    QCOMPARE(host().running(), 0);
  }

  void aFaultInAWindowClosesItAndTheProgramGoesOn() {
    QSignalSpy all(&host(), &Host::allEnded);
    QSignalSpy ended(&host(), &Host::programEnded);
    host().start([](const WindowServices&) -> std::unique_ptr<WindowModel> {
      throw std::runtime_error("no room for the window");
    });
    QTRY_COMPARE(all.count(), 1);
    QCOMPARE(ended.count(), 0);
    QMessageBox* said = nullptr;
    for (QMessageBox* b : frame_->findChildren<QMessageBox*>())
      if (b->text() == QStringLiteral("no room for the window")) said = b;
    QVERIFY(said);
    QVERIFY(!said->isModal());
    QVERIFY(start(QStringLiteral("Window A")));
  }

  void accessibleNamesAndDescriptions() {
    WindowView* a = start(QStringLiteral("Window A"));
    auto name = [](QWidget* w) {
      return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    auto description = [](QWidget* w) {
      return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
    };
    QCOMPARE(name(a), QStringLiteral("Window A"));
    const struct {
      int control;
      const char* name;
      const char* description;
    } cases[] = {
        {DATE, "Output from date", "DATE"},
        {PICK, "Output from date", "PICK"},
        {RUN, "Run", "RUN"},
        {COUNT, "Output from date", "COUNT1"},  // no label: the nearest prompt
        {CLOSE, "Cancel (Esc)", "CANCEL"},
    };
    for (const auto& c : cases) {
      QWidget* w = a->widget_of(c.control);
      QVERIFY(w);
      QCOMPARE(name(w) + QLatin1Char(' ') + description(w),
               QString::fromLatin1(c.name) + QLatin1Char(' ') + QString::fromLatin1(c.description));
      QCOMPARE(description(w), QString::fromLatin1(c.description));
      QCOMPARE(w->objectName(), QString::fromLatin1(c.description));
    }
    QTRY_COMPARE(name(a->widget_of(STOP)), QStringLiteral("Stop test (0)"));
    WindowView* picker = open_picker(a);
    QCOMPARE(name(picker), QStringLiteral("Select date"));
    QCOMPARE(name(day(picker, 11)), QStringLiteral("11"));
    QCOMPARE(description(day(picker, 11)), QStringLiteral("B33"));
    QCOMPARE(name(picker->widget_of(static_cast<int>(CalendarControl::TODAY))),
             QStringLiteral("Today"));
  }
};

}  // namespace mervane::gui::test

QTEST_MAIN(mervane::gui::test::HostTest)
#include "test_host.moc"
