// The frame as a user meets it: its title, the File menu with its keys, the Build window in the
// frame when the frame first shows, F9 twice giving two windows side by side, and E&xit closing
// the windows and then the frame.
#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <future>

#include "core/runtime/clock.h"
#include "gui/frame/app_frame.h"
#include "gui/widgets/message_box.h"
#include "tests/gui/gui_support.h"

namespace mervane::gui::test {

class FrameTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiBed> bed_;
  std::mutex mu_;
  std::vector<Procedure> started_;  // filled on the windows' threads

  std::vector<Procedure> started() {
    std::lock_guard lock(mu_);
    return started_;
  }

  // Every menu window as a test window titled by its procedure's number.
  std::function<WindowFactory(Procedure)> test_procedures() {
    return [this](Procedure p) -> WindowFactory {
      return [this, p](const WindowServices& s) {
        {
          std::lock_guard lock(mu_);
          started_.push_back(p);
        }
        return std::make_unique<TestWindow>(s, "Window " + std::to_string(static_cast<int>(p)));
      };
    };
  }

 private Q_SLOTS:
  void init() {
    bed_ = std::make_unique<GuiBed>();
    std::lock_guard lock(mu_);
    started_.clear();
  }

  void titleAndMenuAsTheSystemShowsThem() {
    AppFrame frame(bed_->session);
    QCOMPARE(frame.windowTitle(), QStringLiteral("Mervane - v 3.03"));
    QCOMPARE(frame.accessibleName(), QStringLiteral("Mervane - v 3.03"));
    QMenu* file = frame.menuBar()->findChild<QMenu*>(QStringLiteral("FILE"));
    QVERIFY(file);
    QCOMPARE(file->title(), QStringLiteral("&File"));
    const struct {
      const char* text;
      const char* key;
    } want[] = {
        {"Build News.CSV", "F5"},
        {nullptr, nullptr},
        {"&Modify News Event History", "F9"},
        {"&Delete/Rebuild News Event History", "Alt+F9"},
        {nullptr, nullptr},
        {"Modify &Auxiliary output data", "F8"},
        {"Delete Auxiliary output data", "Alt+F8"},
        {nullptr, nullptr},
        {"Edit Swap Rates / Spread Collect Settings", "F3"},
        {nullptr, nullptr},
        {"E&xit\tAlt-F4", ""},
    };
    const QList<QAction*> actions = file->actions();
    QCOMPARE(actions.size(), static_cast<qsizetype>(std::size(want)));
    for (qsizetype i = 0; i < actions.size(); ++i) {
      const auto& w = want[i];
      QCOMPARE(actions[i]->isSeparator(), w.text == nullptr);
      if (!w.text) continue;
      QCOMPARE(actions[i]->text(), QString::fromLatin1(w.text));
      QCOMPARE(actions[i]->shortcut().toString(QKeySequence::PortableText),
               QString::fromLatin1(w.key));
    }
    QCOMPARE(frame.action(MainControl::EXIT)->statusTip(), QStringLiteral("Exit this application"));
    QVERIFY(frame.action(MainControl::EXIT)->isEnabled());
    QVERIFY(frame.findChild<QMdiArea*>());
  }

  void buildWindowFirstThenEveryChoiceOpensAFurtherWindow() {
    AppFrame frame(bed_->session, test_procedures());
    QSignalSpy opened(&frame.host(), &Host::viewOpened);
    frame.open();
    QTRY_COMPARE(opened.count(), 1);
    QVERIFY(frame.isVisible());
    QCOMPARE(started(), std::vector<Procedure>{Procedure::ProcFile});
    for (const auto& a : {MainControl::FILEPROCESS, MainControl::FILEBROWSEHISTORY})
      QVERIFY(frame.action(a)->isEnabled());
    frame.activateWindow();
    QTest::keyClick(&frame, Qt::Key_F9);
    QTest::keyClick(&frame, Qt::Key_F9);
    QTRY_COMPARE(opened.count(), 3);
    frame.action(MainControl::FILEDELETEAUXDATA)->trigger();
    QTRY_COMPARE(opened.count(), 4);
    QCOMPARE(started(),
             (std::vector<Procedure>{Procedure::ProcFile, Procedure::BrowseHistoryByName,
                                     Procedure::BrowseHistoryByName, Procedure::DeleteSwapOut}));
    // Side by side in the MDI area, each usable.
    const auto subs = frame.area()->subWindowList();
    QCOMPARE(subs.size(), 4);
    frame.area()->tileSubWindows();
    for (QMdiSubWindow* s : subs) {
      QVERIFY(s->widget()->isEnabled());
      QVERIFY(s->isVisible());
    }
    QCOMPARE(subs[1]->windowTitle(), subs[2]->windowTitle());
  }

  // The frame's first picture is the frame with the Build window in it: the frame shows once the
  // window is there, not before.
  void theFrameShowsWithTheBuildWindowInIt() {
    AppFrame frame(bed_->session, test_procedures());
    FrameWatch watch(frame, frame.area());
    frame.open();
    QVERIFY(!frame.isVisible());
    QTRY_VERIFY(frame.isVisible());
    QCOMPARE(watch.windows_at_show, std::vector<int>{1});
    QCOMPARE(watch.enabled_at_show, std::vector<int>{1});
    QVERIFY(frame.area()->subWindowList().front()->isVisible());
  }

  // The frame has its status bar however it comes up: opened (before it shows), or shown
  // without being opened; and the same one, not a second.
  void theFrameHasItsStatusBarOpenedOrShown_data() {
    QTest::addColumn<bool>("opened");
    QTest::newRow("opened") << true;
    QTest::newRow("shown") << false;
  }
  void theFrameHasItsStatusBarOpenedOrShown() {
    QFETCH(bool, opened);
    AppFrame frame(bed_->session, test_procedures());
    if (opened) {
      frame.open();
      QCOMPARE(frame.findChildren<QStatusBar*>().size(), 1);
      QTRY_VERIFY(frame.isVisible());
    } else {
      frame.show();
    }
    QCOMPARE(frame.findChildren<QStatusBar*>().size(), 1);
    QVERIFY(frame.statusBar()->isVisible());
    frame.hide();
    frame.show();
    QCOMPARE(frame.findChildren<QStatusBar*>().size(), 1);
  }

  // Without a Build window to wait for, the frame shows at once.
  void withoutABuildWindowTheFrameShowsAtOnce() {
    AppFrame frame(bed_->session, [](Procedure) { return WindowFactory{}; });
    frame.open();
    QVERIFY(frame.isVisible());
    QCOMPARE(frame.area()->subWindowList().size(), 0);
  }

  // A Build window slow to open, or one that asks something before its window is there, finds
  // the frame up: the wait for the window is bounded, and a message shows the frame at once.
  void aWindowSlowToOpenOrAMessageFirstShowsTheFrame_data() {
    QTest::addColumn<bool>("message");
    QTest::newRow("slow to open") << false;
    QTest::newRow("a message first") << true;
  }
  void aWindowSlowToOpenOrAMessageFirstShowsTheFrame() {
    QFETCH(bool, message);
    std::promise<void> go;
    std::shared_future<void> gate = go.get_future().share();
    AppFrame frame(bed_->session, [&](Procedure) -> WindowFactory {
      return [gate, message](const WindowServices& s) {
        if (message) {
          Warning w;
          w.text = "The settings file could not be read";
          w.caption = "Settings";
          s.reporter.warning(w);
        } else {
          gate.wait();
        }
        return std::make_unique<TestWindow>(s, "Slow");
      };
    });
    // The window's thread waits at the gate until released, whatever this test ends with (before
    // the frame, which waits for its threads, goes).
    struct Release {
      std::promise<void>& go;
      bool done = false;
      void now() {
        if (!done) go.set_value();
        done = true;
      }
      ~Release() { now(); }
    } release{go};
    QSignalSpy opened(&frame.host(), &Host::viewOpened);
    QElapsedTimer waited;
    waited.start();
    frame.open();
    QTRY_VERIFY(frame.isVisible());
    QCOMPARE(opened.count(), 0);
    if (message) {
      QVERIFY(waited.elapsed() < AppFrame::kShowAtLatest.count());
      QCOMPARE(frame.host().message_boxes().size(), std::size_t{1});
      frame.host().message_boxes().front()->button_for(kOkButton)->click();
    } else {
      QVERIFY(waited.elapsed() >= AppFrame::kShowAtLatest.count() * 9 / 10);
    }
    release.now();
    QTRY_COMPARE(opened.count(), 1);
    QCOMPARE(frame.area()->subWindowList().size(), 1);
  }

  void closingTheBuildWindowLeavesTheFrameAndExitEndsAll() {
    AppFrame frame(bed_->session, test_procedures());
    QSignalSpy opened(&frame.host(), &Host::viewOpened);
    QSignalSpy ended(&frame.host(), &Host::allEnded);
    frame.open();
    QTRY_COMPARE(opened.count(), 1);
    auto* first = qobject_cast<WindowView*>(frame.area()->subWindowList().front()->widget());
    QTRY_VERIFY(first->isEnabled());
    QTest::keyClick(first->widget_of(CLOSE), Qt::Key_Escape);
    QTRY_COMPARE(frame.area()->subWindowList().size(), 0);
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(frame.isVisible());
    QTest::keyClick(&frame, Qt::Key_F5);
    QTest::keyClick(&frame, Qt::Key_F5);
    QTRY_COMPARE(frame.area()->subWindowList().size(), 2);
    // E&xit: the windows close, then the frame.
    frame.action(MainControl::EXIT)->trigger();
    QTRY_COMPARE(frame.area()->subWindowList().size(), 0);
    QTRY_VERIFY(!frame.isVisible());
    QCOMPARE(bed_->session.response().response, static_cast<int>(Response::Cancelled));
  }
};

}  // namespace mervane::gui::test

QTEST_MAIN(mervane::gui::test::FrameTest)
#include "test_frame.moc"
