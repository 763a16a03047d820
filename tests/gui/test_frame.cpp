// The frame as a user meets it: its title, the File menu with its keys, the Build window in the
// frame when the frame first shows, F9 twice giving two windows side by side, and E&xit closing
// the windows and then the frame.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <future>

#include "core/model/local_settings.h"
#include "core/output/procfile_controls.h"
#include "core/runtime/clock.h"
#include "gui/frame/app_frame.h"
#include "gui/frame/procedures.h"
#include "gui/scenes/sample_data.h"
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
        {"&Keep this week current", ""},
        {"A&lerts", ""},
        {nullptr, nullptr},
        {"&Modify News Event History", "F9"},
        {"&Delete/Rebuild News Event History", "Alt+F9"},
        {"Load calendar &history...", ""},
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

  // "Keep this week current": checked, it is remembered and the watch runs on its own thread,
  // the status bar telling its last and next run; unchecked, it stops and is remembered off.
  void keepThisWeekCurrentRunsTheWatchAndShowsItsRuns() {
    // Nothing asks the real service: the address refuses at once.
    QVERIFY(save_local_setting(bed_->session.folder(), "CALENDARURL", "http://127.0.0.1:9").is_ok());
    AppFrame frame(bed_->session, test_procedures());
    // A played clock from Monday 9 March 2026 08:00 UTC that ends the watch a day later.
    struct PlayedDay final : LiveClock {
      PlayedClock played{1773043200};
      ClockUntil until{played, 1773043200 + 86400};
      std::int64_t moment() const override { return until.moment(); }
      bool wait_until(std::int64_t m, StopSignal& stop) override { return until.wait_until(m, stop); }
    };
    frame.set_watch_clock([] { return std::make_unique<PlayedDay>(); });
    frame.open();
    QTRY_VERIFY(frame.isVisible());
    QAction* keep = frame.action(MainControl::FILEKEEPCURRENT);
    QVERIFY(keep && keep->isCheckable() && !keep->isChecked());
    auto* label = frame.statusBar()->findChild<QLabel*>(QStringLiteral("KEEPCURRENT"));
    QVERIFY(label && !label->isVisible());
    keep->trigger();
    QVERIFY(keep->isChecked());
    QCOMPARE(load_local_setting(bed_->session.folder(), "KEEPCURRENT"), std::string("1"));
    // Before the first run only the next one is known; then both.
    QTRY_VERIFY(label->text().contains(QStringLiteral("last run")));
    QVERIFY2(QRegularExpression(QStringLiteral("^This week kept current: last run 2026-03-\\d\\d "
                                               "\\d\\d:\\d\\d, next run 2026-03-\\d\\d "
                                               "\\d\\d:\\d\\d$"))
                 .match(label->text())
                 .hasMatch(),
             qPrintable(label->text()));
    QTRY_VERIFY(!frame.watch().running());  // the played day is over
    keep->trigger();
    QVERIFY(!keep->isChecked() && !label->isVisible());
    QCOMPARE(load_local_setting(bed_->session.folder(), "KEEPCURRENT"), std::string("0"));
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

  // The status bar names the working folder, and says so when this start made it.
  void theStatusBarNamesTheWorkingFolder_data() {
    QTest::addColumn<bool>("made");
    QTest::addColumn<QString>("begins");
    QTest::newRow("made at this start") << true << QStringLiteral("New working folder ");
    QTest::newRow("there before") << false << QStringLiteral("Working folder ");
  }
  void theStatusBarNamesTheWorkingFolder() {
    QFETCH(bool, made);
    QFETCH(QString, begins);
    AppFrame frame(bed_->session, test_procedures());
    frame.set_folder_made(made);
    frame.open();
    auto* where = frame.statusBar()->findChild<QLabel*>(QStringLiteral("FOLDER"));
    QVERIFY(where);
    const QString folder = QDir::toNativeSeparators(bed_->dir.path());
    QCOMPARE(where->text().left(begins.size()), begins);
    QVERIFY2(where->text().contains(folder), qPrintable(where->text()));
    QCOMPARE(where->text().contains(QStringLiteral("\"truneout\"")), made);
    QTRY_VERIFY(frame.isVisible());
  }

  // The first start: the frame holds its window, centred on the screen, or maximized where the
  // screen is smaller than the window (the Build window on the test platform's 800 x 600).
  void theFrameOpensSizedForItsWindow_data() {
    QTest::addColumn<bool>("build_window");
    QTest::addColumn<bool>("maximized");
    QTest::newRow("a small window") << false << false;
    QTest::newRow("the Build window on a small screen") << true << true;
  }
  void theFrameOpensSizedForItsWindow() {
    QFETCH(bool, build_window);
    QFETCH(bool, maximized);
    if (build_window) QVERIFY(seed_history(bed_->dir.path().toStdString()));
    AppFrame frame(bed_->session, build_window
                                      ? std::function<WindowFactory(Procedure)>(procedure_factory)
                                      : test_procedures());
    QSignalSpy opened(&frame.host(), &Host::viewOpened);
    frame.open();
    QTRY_VERIFY(frame.isVisible());
    QTRY_COMPARE(opened.count(), 1);
    QCOMPARE(frame.isMaximized(), maximized);
    const QRect avail = frame.screen()->availableGeometry();
    QMdiSubWindow* sub = frame.area()->subWindowList().front();
    if (maximized) {
      // Larger than the client area: it starts at its top left corner, and the control with
      // the focus, the last one too, is scrolled into view.
      QCOMPARE(sub->pos(), QPoint(0, 0));
      auto* build = qobject_cast<WindowView*>(sub->widget());
      QTRY_VERIFY(build->isEnabled());
      QWidget* ok = build->widget_of(number(ProcFileControl::OK));
      QVERIFY(!frame.area()->viewport()->rect().contains(
          QRect(ok->mapTo(frame.area()->viewport(), QPoint(0, 0)), ok->size())));
      frame.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&frame));
      ok->setFocus(Qt::TabFocusReason);
      QTRY_VERIFY(frame.area()->viewport()->rect().contains(
          QRect(ok->mapTo(frame.area()->viewport(), QPoint(0, 0)), ok->size())));
    } else {
      QVERIFY(frame.area()->viewport()->rect().contains(sub->geometry()));
      const QPoint off = frame.frameGeometry().center() - avail.center();
      QVERIFY2(std::abs(off.x()) <= AppFrame::kDecoration.left() &&
                   std::abs(off.y()) <= AppFrame::kDecoration.top(),
               qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));
    }
    QVERIFY(avail.contains(frame.geometry()));
  }

  // The frame opens where and as large as it was when it last closed.
  void theFrameKeepsItsPlaceBetweenRuns() {
    const QRect left_at(60, 50, 640, 420);
    {
      AppFrame frame(bed_->session, test_procedures());
      frame.open();
      QTRY_VERIFY(frame.isVisible());
      frame.setGeometry(left_at);
      QTRY_COMPARE(frame.geometry(), left_at);
      frame.action(MainControl::EXIT)->trigger();
      QTRY_VERIFY(!frame.isVisible());
    }
    QVERIFY(!load_local_setting(bed_->session.folder(), "FRAMEPLACE").empty());
    AppFrame again(bed_->session, test_procedures());
    again.open();
    QTRY_VERIFY(again.isVisible());
    QCOMPARE(again.geometry(), left_at);
    QVERIFY(!again.isMaximized());
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
