// The Build window as a user meets it: the program started in a folder with the sample week,
// the Initial setup first when the history is empty, typing into fields (a refused entry, the
// pictures), the history update switched off and on, the date range guard, a run by F10 whose
// files are those of the command line's build on a copy of the folder, two Build windows with a
// date picker each, a stop message answered Ignore and Abort, the automatic run, accessible
// names, and a layout where no control hides another or is cut.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/history/delete_history.h"
#include "core/output/procfile.h"
#include "core/runtime/table.h"
#include "core/runtime/time_zones.h"
#include "core/setup/initial_setup.h"
#include "core/util/helpers.h"
#include "gui/build_window/build_view.h"
#include "gui/frame/app_frame.h"
#include "gui/widgets/message_box.h"
#include "gui/widgets/qt_text.h"
#include "tests/gui/gui_support.h"
#include "tests/output/procfile_stubs.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/wine_tree.h"

namespace mervane::gui::test {
namespace {

namespace fs = std::filesystem;
using C = ProcFileControl;

const QString kBuildTitle = QString::fromLatin1(kBuildWindowTitle.data(), kBuildWindowTitle.size());
const QString kHistoryTitle = QStringLiteral("View News Events History database");

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The sample week in a folder: the settings (history update on, hand-saved page) and the page
// saved as "truneout".
void copy_sample(const fs::path& folder) {
  const fs::path samples = MERVANE_SAMPLES;
  fs::copy_file(samples / "trune.INI", folder / "trune.INI");
  fs::copy_file(samples / "calendar-week.html", folder / "truneout");
}

// One event in the history, so that the Build window opens without the Initial setup.
void seed_history(const fs::path& folder) {
  Table<CalendarTable> t(folder);
  QVERIFY(t.create().is_ok() && t.open().is_ok());
  t.rec.date = *date_serial(2008, 2, 29);
  t.rec.time = tod(13, 30);
  t.rec.currency = "USD";
  t.rec.descr = "Earlier event";
  t.rec.impact = "H";
  QVERIFY(t.add().is_ok());
}

}  // namespace

class BuildTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<FixedClock> clock_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<AppFrame> frame_;

  fs::path folder() const { return dir_->path().toStdString(); }
  Host& host() { return frame_->host(); }

  // The program started in the folder: the frame, which starts the Build window.
  // `host`: the machine whose MT4 terminals the windows find (none when not given).
  void start(const HostEnvironment* host = nullptr) {
    session_ = std::make_unique<Session>(folder(), *clock_);
    if (host) session_->set_host(*host);
    frame_ = std::make_unique<AppFrame>(*session_);
    frame_->open();
    QApplication::setActiveWindow(frame_.get());
  }
  std::vector<WindowView*> titled(const QString& title) {
    std::vector<WindowView*> out;
    for (WindowView* v : host().views())
      if (v->windowTitle() == title) out.push_back(v);
    return out;
  }
  // Waits for the n-th window of that title and, when it is to be used, for it to take input
  // (once its first event has been served).
  WindowView* wait_view(const QString& title, std::size_t n = 1, bool usable = true) {
    WindowView* v = nullptr;
    wait_for([&] {
      const auto all = titled(title);
      v = all.size() >= n ? all[n - 1] : nullptr;
      return v && (!usable || v->isEnabled());
    });
    return v;
  }
  MessageBox* wait_message() {
    MessageBox* box = nullptr;
    wait_for([&] {
      const auto boxes = host().message_boxes();
      box = boxes.empty() ? nullptr : boxes.front();
      return box != nullptr;
    });
    return box;
  }
  static std::string value(WindowView* v, C c) {
    const auto& control_defs = v->control_defs();
    for (std::size_t i = 0; i < control_defs.size(); ++i)
      if (control_defs[i].id == number(c) && i < v->last_state().controls.size())
        return v->last_state().controls[i].value;
    return "?";
  }
  static QLineEdit* edit(WindowView* v, C c) {
    QWidget* w = v->widget_of(number(c));
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
    return qobject_cast<QLineEdit*>(w);
  }
  static QAbstractButton* button(WindowView* v, C c) {
    return qobject_cast<QAbstractButton*>(v->widget_of(number(c)));
  }
  // The window the user works in is the active one (the offscreen platform has no window
  // manager to make it so when a window over it closes).
  void activate(WindowView* v) {
    QApplication::setActiveWindow(frame_.get());
    if (auto* sub = qobject_cast<QMdiSubWindow*>(v->parentWidget()))
      frame_->area()->setActiveSubWindow(sub);
  }
  // Types into a field as a user does: into the field, then away from it with the key.
  void type(WindowView* v, C c, const QString& text, Qt::Key leave = Qt::Key_Tab) {
    activate(v);
    QLineEdit* e = edit(v, c);
    QVERIFY(e);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, leave);
  }
  // The command line's build in the folder on the same day, with the settings given; its exit
  // code (-1 when it did not end within a minute).
  static int build_by_cli(const fs::path& in, const QStringList& settings) {
    QStringList args = {QStringLiteral("--dir"),   QString::fromStdString(in.string()),
                        QStringLiteral("--today"), QStringLiteral("03/10/2008"),
                        QStringLiteral("--now"),   QStringLiteral("12:00"),
                        QStringLiteral("--quiet"), QStringLiteral("build")};
    for (const QString& s : settings) args << QStringLiteral("--set") << s;
    QProcess cli;
    cli.start(QStringLiteral(MERVANE_CLI), args);
    return cli.waitForFinished(60000) ? cli.exitCode() : -1;
  }
  // Waits until the window has ended its run (or closed) and every thread is done.
  // The Build window has closed; after a run that updated the history only the Event History
  // list it started is open.
  bool wait_closed() {
    return wait_for(
        [&] {
          const auto views = host().views();
          return host().running() == static_cast<int>(views.size()) &&
                 std::all_of(views.begin(), views.end(),
                             [](WindowView* v) { return v->windowTitle() == kHistoryTitle; });
        },
        60000);
  }

 private Q_SLOTS:
  void initTestCase() { qRegisterMetaType<MessageBox*>(); }
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    clock_ = std::make_unique<FixedClock>(*date_serial(2008, 3, 10), tod(12, 0));
    copy_sample(folder());
  }
  void cleanup() {
    frame_.reset();
    session_.reset();
    clock_.reset();
    dir_.reset();
  }

  void firstStartWithAnEmptyHistoryShowsTheInitialSetupFirst() {
    start();
    WindowView* build = wait_view(kBuildTitle, 1, false);
    QVERIFY(build);
    QTRY_VERIFY(frame_->isVisible());  // it shows once the Build window has its first state
    WindowView* setup = wait_view(qtext(InitialSetup::kCaption));
    QVERIFY(setup);
    // The Build window is in the frame; the setup is over it and holds it until it closes.
    QCOMPARE(frame_->area()->subWindowList().size(), 1);
    QCOMPARE(frame_->area()->subWindowList().front()->widget(), build);
    QVERIFY(!qobject_cast<QMdiSubWindow*>(setup->parentWidget()));
    QTRY_VERIFY(!build->isEnabled());
    QVERIFY(setup->isEnabled());
    QPointer<WindowView> gone = setup;
    QTest::keyClick(setup, Qt::Key_Escape);
    QTRY_VERIFY(gone.isNull());
    QTRY_VERIFY(build->isEnabled());
    // Nothing else opened meanwhile, and the setup comes once.
    QCOMPARE(host().views().size(), std::size_t{1});
    QTest::keyClick(build, Qt::Key_Escape);
    QVERIFY(wait_closed());
    QVERIFY(frame_->isVisible());
  }

  // The terminals of the machine in the Initial setup's list: the first is chosen, its history's
  // server time taken into the offsets with "Use it", another chosen with the keyboard; OK sets
  // the Build window's News.CSV path to that terminal's MQL4/Files/News.CSV and OFFSET1 to the
  // offset (the server at UTC+2, New York at UTC-4 on 10 March 2008).
  void theInitialSetupOffersTheTerminalsFound() {
    const mervane::test::TwoTerminals machine(unix_now(*clock_));
    start(&machine.env);
    WindowView* setup = wait_view(qtext(InitialSetup::kCaption));
    QVERIFY(setup);
    using S = InitialSetupControl;
    auto* list = qobject_cast<QComboBox*>(setup->widget_of(number(S::TERMINAL)));
    QVERIFY(list);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->currentText(), QStringLiteral("Broker MT4 in ~/.wine"));
    auto shown = [&](S c) {
      const auto& defs = setup->control_defs();
      for (std::size_t i = 0; i < defs.size(); ++i)
        if (defs[i].id == number(c)) return setup->last_state().controls[i].value;
      return std::string("?");
    };
    QTRY_VERIFY(shown(S::SUGGESTION).find("UTC+2") != std::string::npos);
    QTest::mouseClick(qobject_cast<QAbstractButton*>(setup->widget_of(number(S::USEOFFSET))),
                      Qt::LeftButton);
    QTRY_COMPARE(shown(S::PARM1), std::string("6"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTRY_COMPARE(shown(S::PARM3), std::string("Other MT4"));
    QPointer<WindowView> gone = setup;
    QTest::keyClick(setup, Qt::Key_Return);
    QTRY_VERIFY(gone.isNull());

    WindowView* build = wait_view(kBuildTitle);
    QVERIFY(build);
    const std::string news = (machine.files(machine.other_data) / "News.CSV").string();
    QTRY_COMPARE(value(build, C::GLO_OUTNAME), news);
    QCOMPARE(value(build, C::OFFSET1), std::string("6"));
    auto* paths = qobject_cast<QComboBox*>(build->widget_of(number(C::GLO_OUTNAME)));
    QVERIFY(paths);
    QCOMPARE(paths->count(), 2);
    QCOMPARE(paths->currentText(), qtext(news));
    QWidget* note = build->widget_of(number(C::NEWSNOTE));
    QVERIFY(note->isHidden());
    const QRect kept = note->geometry();
    // A path outside every terminal's files folder: the note says so, right under the path, in
    // the line kept for it (the window does not change its size).
    type(build, C::GLO_OUTNAME, QStringLiteral("News.CSV"));
    QTRY_VERIFY(!note->isHidden());
    QCOMPARE(value(build, C::NEWSNOTE), std::string(kNewsOutsideTerminals));
    QCOMPARE(note->geometry(), kept);
    const QRect path(paths->mapTo(build, QPoint(0, 0)), paths->size());
    const QRect under(note->mapTo(build, QPoint(0, 0)), note->size());
    QVERIFY(under.top() >= path.bottom() && under.top() - path.bottom() < path.height());
    QVERIFY(under.left() >= path.left() - 2 && under.right() <= path.right() + 2);
    QTest::keyClick(build, Qt::Key_Escape);
    QVERIFY(wait_closed());
  }

  // The frame shows once, with the Build window in it, taking input, and the frame already grown
  // to hold it, or maximized where the screen is smaller: the first picture is the one the user
  // keeps.
  void theFrameShowsOnceWithTheBuildWindowInIt() {
    seed_history(folder());
    session_ = std::make_unique<Session>(folder(), *clock_);
    frame_ = std::make_unique<AppFrame>(*session_);
    FrameWatch watch(*frame_, frame_->area());
    frame_->open();
    WindowView* build = wait_view(kBuildTitle);
    QVERIFY(build);
    QCOMPARE(watch.windows_at_show, std::vector<int>{1});
    QCOMPARE(watch.enabled_at_show, std::vector<int>{1});
    QCOMPARE(watch.resized_while_visible, 0);
    const QMdiSubWindow* sub = frame_->area()->subWindowList().front();
    const QSize screen = frame_->screen()->availableGeometry().size();
    // Where the screen is smaller than the window, the frame takes the whole screen.
    QVERIFY2(frame_->area()->viewport()->rect().contains(sub->geometry()) ||
                 frame_->isMaximized() || frame_->width() == screen.width() ||
                 frame_->height() == screen.height(),
             qPrintable(QStringLiteral("window %1x%2 in a client area of %3x%4")
                            .arg(sub->width())
                            .arg(sub->height())
                            .arg(frame_->area()->viewport()->width())
                            .arg(frame_->area()->viewport()->height())));
  }

  void typingTogglingAndTheDateRangeGuard() {
    seed_history(folder());
    start();
    WindowView* build = wait_view(kBuildTitle);
    QVERIFY(build);
    QVERIFY(build->isEnabled());

    // The picture refuses what cannot become a number as it is typed.
    QLineEdit* weeks = edit(build, C::LOADWEEKS);
    QCOMPARE(weeks->isEnabled(), false);  // CHECKWGET is off: one week, the saved page
    QLineEdit* spacing = edit(build, C::SPACING1);
    activate(build);
    spacing->setFocus();
    spacing->selectAll();
    QTest::keyClicks(spacing, QStringLiteral("3x0"));
    QCOMPARE(spacing->text(), QStringLiteral("30"));
    QTest::keyClick(spacing, Qt::Key_Tab);
    QTRY_COMPARE(value(build, C::SPACING1), std::string("30"));

    // A value the picture lets through and the window refuses: a warning, and the field shows
    // what the window holds.
    type(build, C::SPACING1, QStringLiteral("0"));
    MessageBox* box = wait_message();
    QVERIFY(box);
    QTRY_VERIFY(!build->isEnabled());
    box->button_for(kOkButton)->click();
    QTRY_VERIFY(build->isEnabled());
    QTRY_COMPARE(spacing->text(), QStringLiteral("30"));
    QCOMPARE(value(build, C::SPACING1), std::string("30"));

    // The history update off disables its controls; on again, they follow the other settings.
    const struct {
      C control;
      bool on_again;  // enabled once the update is on again (CHECKWGET off, DATE1 in 2008)
    } range[] = {
        {C::CLDRFMT, true},    {C::CHECKWGET, true}, {C::DATE1, true},   {C::BUTTON7, true},
        {C::LOADWEEKS, false}, {C::AUTODATE, true},  {C::OFFSET1, true}, {C::CNVFMT, false},
        {C::NONECON, true},    {C::INCUT, true},     {C::INCUV, true},
    };
    button(build, C::CHECKHIST)->click();
    QTRY_COMPARE(value(build, C::CHECKHIST), std::string("0"));
    for (const auto& r : range)
      QVERIFY2(!build->widget_of(number(r.control))->isEnabled(),
               qPrintable(build->widget_of(number(r.control))->objectName()));
    QVERIFY(build->widget_of(number(C::GLO_OUTNAME))->isEnabled());
    button(build, C::CHECKHIST)->click();
    QTRY_COMPARE(value(build, C::CHECKHIST), std::string("1"));
    for (const auto& r : range)
      QVERIFY2(build->widget_of(number(r.control))->isEnabled() == r.on_again,
               qPrintable(build->widget_of(number(r.control))->objectName()));

    // The end date before the start date: Enter does not run, the cursor goes to the end date,
    // and moving on to the controls below it brings it back there.
    type(build, C::THRUDATE, QStringLiteral("12/31/2007"), Qt::Key_Return);
    QTRY_COMPARE(value(build, C::THRUDATE), std::string("12/31/2007"));
    QTest::qWait(100);
    QVERIFY(titled(kBuildTitle).size() == 1);
    QTRY_VERIFY(edit(build, C::THRUDATE)->hasFocus());
    QTest::mouseClick(build->widget_of(number(C::CHECK2)), Qt::LeftButton);
    QTRY_VERIFY(edit(build, C::THRUDATE)->hasFocus());
    QCOMPARE(value(build, C::CHECK2), std::string("0"));
    QVERIFY(!fs::exists(folder() / "News.CSV"));

    // A good end date and Enter in that field: the run.
    type(build, C::THRUDATE, QStringLiteral("12/31/2099"), Qt::Key_Return);
    QVERIFY(wait_closed());
    QVERIFY(fs::exists(folder() / "News.CSV"));
    QVERIFY(read_file(folder() / "trune.INI").find("\r\n30\r\n") != std::string::npos);
  }

  void runByF10WritesWhatTheCommandLineWrites() {
    const fs::path copy = folder() / "copy";
    fs::create_directory(copy);
    copy_sample(copy);
    start();
    WindowView* setup = wait_view(qtext(InitialSetup::kCaption));
    QVERIFY(setup);
    QTest::keyClick(setup, Qt::Key_Escape);
    WindowView* build = wait_view(kBuildTitle);
    QVERIFY(build);

    // What a user changes: the spacing typed, a check box clicked off, the export's "Tab".
    type(build, C::SPACING1, QStringLiteral("30"));
    button(build, C::CHECK1)->click();
    QRadioButton* tab = nullptr;
    for (const ControlSpec& c : build->control_defs())
      if (c.kind == ControlKind::Option && c.parent == number(C::XOUT) && c.value == "3")
        tab = qobject_cast<QRadioButton*>(build->widget_of(c.id));
    QVERIFY(tab);
    tab->click();
    QTRY_COMPARE(value(build, C::XOUT), std::string("3"));
    QCOMPARE(value(build, C::SPACING1), std::string("30"));
    QCOMPARE(value(build, C::CHECK1), std::string("0"));
    QTest::keyClick(build, Qt::Key_F10);
    QVERIFY(wait_closed());
    QTRY_COMPARE(titled(kHistoryTitle).size(), std::size_t{1});  // the history was updated

    QCOMPARE(build_by_cli(copy, {QStringLiteral("SPACING1=30"), QStringLiteral("CHECK1=0"),
                                 QStringLiteral("XOUT=3")}),
             0);

    for (const char* file : {"News.CSV", "XLOutput.CSV", "trune.INI", "@BACKUP@.CSV"}) {
      const std::string ours = read_file(folder() / file);
      QVERIFY2(!ours.empty(), file);
      QVERIFY2(ours == read_file(copy / file), file);
    }
    // The page's events are in it.
    const std::string news = read_file(folder() / "News.CSV");
    QVERIFY(std::count(news.begin(), news.end(), '\n') > 5);
  }

  void twoBuildWindowsWithAPickerEachClosedFirstOpenedFirst() {
    seed_history(folder());
    start();
    WindowView* a = wait_view(kBuildTitle, 1);
    QVERIFY(a);
    activate(a);
    QTest::keyClick(frame_.get(), Qt::Key_F5);
    WindowView* b = wait_view(kBuildTitle, 2);
    QVERIFY(b);
    QCOMPARE(frame_->area()->subWindowList().size(), 2);

    auto open_picker = [&](WindowView* caller, C at) {
      const auto before = titled(qtext(Calendar::kTitle));
      button(caller, at)->click();
      WindowView* picker = nullptr;
      wait_for([&] {
        for (WindowView* v : titled(qtext(Calendar::kTitle)))
          if (std::find(before.begin(), before.end(), v) == before.end()) picker = v;
        return picker != nullptr && picker->isEnabled();
      });
      return picker;
    };
    WindowView* pa = open_picker(a, C::BUTTON8);
    QVERIFY(pa);
    QTRY_VERIFY(!a->isEnabled());
    WindowView* pb = open_picker(b, C::BUTTON9);
    QVERIFY(pb);
    QTRY_VERIFY(!b->isEnabled());

    // The first picker opened closes first, with a day picked: January 2008 (the start date).
    QAbstractButton* day20 = nullptr;
    for (int id = number(CalendarControl::B11); id <= number(CalendarControl::B67); ++id) {
      auto* d = qobject_cast<QAbstractButton*>(pa->widget_of(id));
      if (d && d->isVisibleTo(pa) && d->text() == QStringLiteral("20")) day20 = d;
    }
    QVERIFY(day20);
    QPointer<WindowView> gone = pa;
    QTest::mouseClick(day20, Qt::LeftButton);
    QTRY_VERIFY(gone.isNull());
    QTRY_COMPARE(value(a, C::FROMDATE), std::string("01/20/2008"));
    QTRY_VERIFY(a->isEnabled());

    // Its window works while the other picker is still open.
    type(a, C::SPACING1, QStringLiteral("15"));
    QTRY_COMPARE(value(a, C::SPACING1), std::string("15"));
    button(a, C::PAIRUSD)->click();
    button(a, C::PAIRSEP)->click();
    button(a, C::PAIRJPY)->click();
    QTRY_COMPARE(value(a, C::PAIRS), std::string("USD,JPY"));
    QVERIFY(!b->isEnabled());
    QVERIFY(!pb->isHidden());
    QCOMPARE(value(b, C::SPACING1), std::string("60"));

    QPointer<WindowView> gone2 = pb;
    QTest::keyClick(pb, Qt::Key_Escape);
    QTRY_VERIFY(gone2.isNull());
    QTRY_VERIFY(b->isEnabled());
    QCOMPARE(value(b, C::THRUDATE), std::string("12/31/2099"));
    QTest::keyClick(a, Qt::Key_Escape);
    QTest::keyClick(b, Qt::Key_Escape);
    QVERIFY(wait_closed());
    // Cancel saved nothing.
    QCOMPARE(read_file(folder() / "trune.INI"), read_file(fs::path(MERVANE_SAMPLES) / "trune.INI"));
  }

  void stopMessageDuringARun_data() {
    QTest::addColumn<bool>("ignore");
    QTest::newRow("Ignore") << true;
    QTest::newRow("Abort") << false;
  }
  void stopMessageDuringARun() {
    QFETCH(bool, ignore);
    seed_history(folder());
    std::ofstream(folder() / "XLOutput.CSV") << "previous\r\n";
    const std::string settings = read_file(folder() / "trune.INI");
    start();
    QSignalSpy ended(&host(), &Host::programEnded);
    WindowView* build = wait_view(kBuildTitle);
    QVERIFY(build);
    // A folder that does not exist: News.CSV cannot be made there.
    type(build, C::GLO_OUTNAME, QStringLiteral("nofolder/News.CSV"));
    QTRY_COMPARE(value(build, C::GLO_OUTNAME), std::string("nofolder/News.CSV"));
    QTest::keyClick(build, Qt::Key_F10);
    MessageBox* box = wait_message();
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Stop"));
    QVERIFY2(box->text().startsWith(QStringLiteral("Create(nofolder/News.CSV) - ")),
             qPrintable(box->text()));
    QVERIFY(!build->isEnabled());
    box->button_for(ignore ? kIgnoreAnswer : kAbortAnswer)->click();
    QVERIFY(wait_closed());
    if (ignore) {
      // The run went on: the export and the settings were written.
      QCOMPARE(ended.count(), 0);
      QVERIFY(read_file(folder() / "XLOutput.CSV") != "previous\r\n");
      QVERIFY(read_file(folder() / "trune.INI").find("nofolder/News.CSV") != std::string::npos);
      QVERIFY(frame_->isVisible());
    } else {
      QTRY_COMPARE(ended.count(), 1);
      QCOMPARE(ended.front().at(0).toInt(), kEndedExitCode);
      // Nothing was written: the export and the settings are as they were, no temporary left.
      QCOMPARE(read_file(folder() / "XLOutput.CSV"), std::string("previous\r\n"));
      QCOMPARE(read_file(folder() / "trune.INI"), settings);
      for (const auto& e : fs::directory_iterator(folder())) {
        const std::string name = e.path().filename().string();
        QVERIFY2(name == "XLOutput.CSV" || name == "trune.INI" || name == "truneout" ||
                     name.rfind("CALENDAR", 0) == 0 || name.rfind("PVIEW", 0) == 0,
                 name.c_str());
      }
    }
  }

  // The frame closed at once after F10, or after the history maintenance window's Rebuild: the
  // work ends as Abort would or is done whole, no further window opens (not the Event History
  // list a run's end opens), and the program ends without a message. News.CSV is none or the
  // command line's, the history holds what it held or what the command line's run stores.
  void closingTheFrameWhileWorkRunsEndsTheProgram_data() {
    QTest::addColumn<bool>("rebuild");
    QTest::newRow("F10") << false;
    QTest::newRow("Alt+F9 Rebuild") << true;
  }
  void closingTheFrameWhileWorkRunsEndsTheProgram() {
    QFETCH(bool, rebuild);
    const fs::path copy = folder() / "copy";
    fs::create_directory(copy);
    copy_sample(copy);
    seed_history(folder());
    seed_history(copy);
    start();
    QSignalSpy ended(&host(), &Host::programEnded);
    WindowView* build = wait_view(kBuildTitle);
    QVERIFY(build);
    WindowView* working = build;
    if (rebuild) {
      activate(build);
      QTest::keyClick(frame_.get(), Qt::Key_F9, Qt::AltModifier);
      QVERIFY(wait_for([&] {
        for (WindowView* v : host().views())
          if (v->windowTitle().contains(QStringLiteral("Rebuild News Event History")) &&
              v->isEnabled())
            working = v;
        return working != build;
      }));
      QRadioButton* option = nullptr;
      for (const ControlSpec& c : working->control_defs())
        if (c.kind == ControlKind::Option && c.value == std::to_string(DeleteHistory::kRebuild))
          option = qobject_cast<QRadioButton*>(working->widget_of(c.id));
      QVERIFY(option);
      option->click();
      QTRY_VERIFY(working->isEnabled());
    }
    QStringList opened;
    connect(&host(), &Host::viewOpened, this, [&](WindowView* v) { opened << v->windowTitle(); });
    if (rebuild)
      qobject_cast<QAbstractButton*>(working->widget_of(number(DeleteHistoryControl::OK)))->click();
    else
      QTest::keyClick(working, Qt::Key_F10);
    frame_->close();
    QVERIFY(wait_for([&] { return host().running() == 0 && !frame_->isVisible(); }, 60000));
    QVERIFY2(opened.isEmpty(), qPrintable(opened.join(QStringLiteral(", "))));
    QCOMPARE(ended.count(), 0);

    if (!rebuild) QCOMPARE(build_by_cli(copy, {}), 0);
    const bool news = fs::exists(folder() / "News.CSV");
    if (news) QVERIFY(read_file(folder() / "News.CSV") == read_file(copy / "News.CSV"));
    QVERIFY(!fs::exists(folder() / "CAL2.CSV"));
    Table<CalendarTable> ours(folder()), cli_run(copy);
    QVERIFY(ours.open(OpenMode::read_only()).is_ok());
    QVERIFY(cli_run.open(OpenMode::read_only()).is_ok());
    std::int64_t n = 0, by_cli = 0;
    QVERIFY(ours.records(n).is_ok() && cli_run.records(by_cli).is_ok());
    QVERIFY2(n == 1 || n == by_cli, qPrintable(QString::number(n)));
  }

  void automaticRunShowsNoInteractionAndEndsTheProgram() {
    // The trigger file: the date serial of the page's week, 2 March 2008.
    std::ofstream(folder() / "Autoplay.CSV") << *date_serial(2008, 3, 2) << ",\r\n";
    session_ = std::make_unique<Session>(folder(), *clock_);
    frame_ = std::make_unique<AppFrame>(*session_);
    QSignalSpy ended(&host(), &Host::programEnded);
    QSignalSpy shown(&host(), &Host::messageShown);
    QSignalSpy opened(&host(), &Host::viewOpened);
    // Whether the window ever took input while it was there.
    std::vector<QPointer<WindowView>> views;
    bool took_input = false;
    connect(&host(), &Host::viewOpened, this, [&](WindowView* v) { views.emplace_back(v); });
    QTimer look;
    connect(&look, &QTimer::timeout, this, [&] {
      for (const auto& v : views) took_input |= v && v->isEnabled();
    });
    look.start(1);
    frame_->open();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
    QVERIFY(!took_input);
    QCOMPARE(ended.front().at(0).toInt(), 0);
    QCOMPARE(ended.front().at(1).toString(), QString());
    // The Build window alone (no Initial setup although the history was empty), no message.
    QCOMPARE(opened.count(), 1);
    QCOMPARE(shown.count(), 0);
    QVERIFY(!fs::exists(folder() / "Autoplay.CSV"));
    QVERIFY(read_file(folder() / "News.CSV").find("USD") != std::string::npos);
  }

  void accessibleNamesAndDescriptions() {
    seed_history(folder());
    start();
    WindowView* build = wait_view(kBuildTitle);
    QVERIFY(build);
    auto text = [](QWidget* w, QAccessible::Text t) {
      return QAccessible::queryAccessibleInterface(w)->text(t);
    };
    QCOMPARE(text(build, QAccessible::Name), kBuildTitle);
    const struct {
      C control;
      const char* name;
      const char* description;
    } cases[] = {
        {C::INITIALSETUP, "Setup", "INITIALSETUP"},
        {C::CHECKHIST, "Update Events History database from KX calendar", "CHECKHIST"},
        {C::CLDRFMT, "KX calendar format", "CLDRFMT"},
        {C::DATE1, "Download data from KX calendar starting from what date (format: mm/dd/yyyy)",
         "DATE1"},
        {C::BUTTON7, "Download data from KX calendar starting from what date (format: mm/dd/yyyy)",
         "BUTTON7"},
        {C::GLO_OUTNAME,
         "Path\\name of output (News.CSV) file  (name is mandatory; path must exist, unless "
         "omitted, then assumes same folder as EXE)",
         "GLO:OUTNAME"},
        {C::THRUDATE, "and", "THRUDATE"},
        {C::CHECKM15, "M15 charts", "CHECKM15"},
        {C::DESCR3, "or", "DESCR3"},
        {C::RDESC, "Clear", "RDESC"},
        {C::SYMALL, "ALL", "SYMALL"},
        {C::SYMOTR, "* Other", "SYMOTR"},
        {C::WINGUSD, "* USD", "WINGUSD"},
        {C::WINGOTR, "* Other", "WINGOTR"},
        {C::DEFEUR, "142", "DEFEUR"},
        {C::SYMMED, "Medium", "SYMMED"},
        {C::SEPCHAR, "Export (news only) also to  XML / CSV (Excel)", "SEPCHAR"},
        {C::GLO_OUTXLSNAME, "Path\\filename", "GLO:OUTXLSNAME"},
        {C::NCIOUT, "Outputs", "NCIOUT"},
        {C::EXECGROUP, ">>>", "EXECGROUP"},
        {C::PFILENAME, "Profiles", "PFILENAME"},
        {C::PAIRS, "Currency Pairs", "PAIRS"},
        {C::PAIRSEP, ",", "PAIRSEP"},
        {C::OK, "OK (F10)", "OK"},
        {C::CANCEL, "Cancel (Esc)", "CANCEL"},
        {C::CALPROC, "", "CALPROC#"},
    };
    for (const auto& c : cases) {
      QWidget* w = build->widget_of(number(c.control));
      QVERIFY2(w, c.description);
      QCOMPARE(text(w, QAccessible::Description), QString::fromLatin1(c.description));
      // Qt on Linux reports an editable combo box's text as its name (its prompt goes by the
      // label's relation): the name the view gave it is the widget's own.
      const bool combo = qobject_cast<QComboBox*>(w) && qobject_cast<QComboBox*>(w)->isEditable();
      if (*c.name)
        QCOMPARE(combo ? w->accessibleName() : text(w, QAccessible::Name),
                 QString::fromLatin1(c.name));
    }
    // The options of a group are named by their own labels.
    for (const ControlSpec& c : build->control_defs())
      if (c.kind == ControlKind::Option && c.value == "2" && c.parent == number(C::XOUT))
        QCOMPARE(text(build->widget_of(c.id), QAccessible::Name), QStringLiteral("XML"));
  }

  void theFocusMovesInWindowOrder() {
    seed_history(folder());
    start();
    WindowView* build = wait_view(kBuildTitle);
    QVERIFY(build);
    QHash<QWidget*, int> id_of;
    for (const ControlSpec& c : build->control_defs())
      if (QWidget* w = build->widget_of(c.id); w && c.id < kProcFileDecorations) id_of[w] = c.id;
    // Along the focus chain from the first control, the controls come in their order.
    QWidget* w = build->widget_of(number(C::INITIALSETUP));
    int last = 0, seen = 0;
    for (int steps = 0; steps < 1000 && w; ++steps, w = w->nextInFocusChain()) {
      if (!id_of.contains(w)) continue;
      const int id = id_of.value(w);
      if (id <= last) break;  // round the chain once
      last = id;
      ++seen;
    }
    QCOMPARE(last, number(C::NEWSNOTE));
    QCOMPARE(seen, id_of.size());
  }

  void noControlCoversAnotherAndNoTextIsCut_data() {
    QTest::addColumn<QString>("xout");
    QTest::newRow("export by a separator") << QStringLiteral("4");
    QTest::newRow("no export") << QStringLiteral("1");
  }
  void noControlCoversAnotherAndNoTextIsCut() {
    QFETCH(QString, xout);
    seed_history(folder());
    Session session(folder(), *clock_);
    mervane::test::ScriptedReporter reporter;
    NoProgress progress;
    mervane::test::StubWindows windows{session};
    mervane::test::StubDownloader downloader;
    ProcFile model(WindowServices{session, reporter, progress, windows, downloader});
    model.open();
    model.type(number(C::XOUT), xout.toStdString());
    BuildView view(model.controls(), {});
    view.apply(model.state());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    struct Placed {
      QRect at;
      QString name;
    };
    std::vector<Placed> placed;
    for (const ControlSpec& c : model.controls()) {
      QWidget* w = view.widget_of(c.id);
      QVERIFY2(w, qPrintable(QString::number(c.id)));
      if (c.kind == ControlKind::Group || c.kind == ControlKind::OptionGroup) continue;
      const QRect at(w->mapTo(&view, QPoint(0, 0)), w->size());
      const QString name = w->objectName().isEmpty() ? qtext(c.text) : w->objectName();
      QVERIFY2(view.rect().contains(at), qPrintable(name + QStringLiteral(" outside")));
      for (const Placed& p : placed)
        QVERIFY2(!p.at.intersects(at), qPrintable(name + QStringLiteral(" covers ") + p.name));
      placed.push_back({at, name});
      // Labels, check boxes and options show their whole text; a button its text with the
      // style's room around it, or 8 pixels each side (short ones are narrower than the style's
      // least width).
      // A note wrapped to its place shows its whole text when its lines fit its height.
      if (auto* l = qobject_cast<QLabel*>(w); l && l->wordWrap()) {
        QVERIFY2(w->height() >= l->heightForWidth(w->width()),
                 qPrintable(name + QStringLiteral(" is cut")));
      } else if (c.kind == ControlKind::Prompt || c.kind == ControlKind::Check ||
                 c.kind == ControlKind::Option) {
        QVERIFY2(w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height(),
                 qPrintable(name + QStringLiteral(" is cut")));
      }
      if (auto* b = qobject_cast<QAbstractButton*>(w); b && c.kind == ControlKind::Button) {
        const int text = b->fontMetrics().horizontalAdvance(b->text());
        QVERIFY2(b->width() >= std::min(b->sizeHint().width(), text + 16) &&
                     b->height() >= b->fontMetrics().height() + 4,
                 qPrintable(name + QStringLiteral(" is cut")));
      }
    }
    // The group boxes hold what the window puts in them.
    for (const ControlSpec& c : model.controls()) {
      if (c.parent == 0 || c.kind == ControlKind::Option) continue;
      QWidget* w = view.widget_of(c.id);
      QWidget* g = view.widget_of(c.parent);
      QVERIFY2(g->isAncestorOf(w), qPrintable(w->objectName() + qtext(c.text)));
    }
  }
};

}  // namespace mervane::gui::test

QTEST_MAIN(mervane::gui::test::BuildTest)
#include "test_build.moc"
