// The bulk windows as a user meets them in the frame: the history maintenance window (Alt+F9),
// the auxiliary item deletion (Alt+F8), and the swap generation and swap rate import windows
// opened from the lists that call them. Each is filled in with keys, typed text and buttons, and
// what it leaves in the tables and files is compared with what the command line leaves for the
// same input in a copy of the folder.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/app.h"
#include "core/auxdata/delete_swap_out.h"
#include "core/auxdata/import_swap_rates.h"
#include "core/auxdata/swap_browses.h"
#include "core/auxdata/swap_output.h"
#include "core/history/browses.h"
#include "core/history/delete_history.h"
#include "core/menu/main_frame.h"
#include "core/runtime/table.h"
#include "gui/frame/app_frame.h"
#include "gui/widgets/message_box.h"
#include "tests/gui/gui_support.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/stub_windows.h"

namespace mervane::gui::test {
namespace fs = std::filesystem;

namespace {

using H = DeleteHistoryControl;
using D = DeleteSwapOutControl;
using G = SwapOutputControl;
using I = ImportSwapRatesControl;

std::int32_t on(int m, int d) {
  return *date_serial(2009, m, d);
}
std::int32_t at(int h, int m) {
  return 1 + (h * 60 + m) * 6000;
}

CalendarRecord history_event(std::int32_t date, std::int32_t time, const char* ccy,
                             const char* descr) {
  CalendarRecord r;
  r.date = date;
  r.time = time;
  r.currency = ccy;
  r.descr = descr;
  r.impact = "H";
  r.actual = "0.4%";
  r.symbol = "140";
  r.color = "3";
  r.kxidcode = "12345";
  return r;
}

template <class Def>
bool fill(const fs::path& folder, const std::vector<typename Def::Record>& records) {
  Table<Def> t(folder);
  if (t.create().failed() || t.open().failed()) return false;
  Transaction tx(t);
  for (const auto& r : records) {
    t.rec = r;
    if (t.add().failed()) return false;
  }
  return tx.commit().is_ok();
}

// Events around the weekend of 28 February 2009, one of them at 01:30 on 1 March, which two
// hours earlier is on 28 February.
std::vector<CalendarRecord> week_events() {
  return {history_event(on(2, 27), at(13, 30), "USD", "GDP q/q"),
          history_event(on(2, 28), 0, "EUR", "Bank Holiday"),
          history_event(on(3, 1), at(1, 30), "JPY", "Capital Spending"),
          history_event(on(3, 1), at(23, 0), "AUD", "Commodity Prices y/y"),
          history_event(on(3, 2), at(8, 30), "USD", "ISM Manufacturing PMI"),
          history_event(on(3, 3), at(10, 0), "CAD", "GDP m/m")};
}

struct CliRun {
  int code = 0;
  std::string out, err;
};

CliRun cli(const fs::path& dir, std::vector<std::string> args) {
  args.insert(args.begin(), {"--dir", dir.string(), "--today", "03/11/2009", "--quiet"});
  std::ostringstream out, err;
  const int code = cli::run(args, out, err);
  return {code, out.str(), err.str()};
}

// A table as the command line lists it, in key order.
std::string listing(const fs::path& dir, const char* table) {
  return cli(dir, {"list", table}).out;
}

std::string file_text(const fs::path& f) {
  std::ifstream in(f, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The backup and temporary files of a folder with their contents.
std::map<std::string, std::string> csv_files(const fs::path& dir) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (name.size() > 4 &&
        QString::fromStdString(name).endsWith(QStringLiteral(".CSV"), Qt::CaseInsensitive))
      out[name] = file_text(e.path());
  }
  return out;
}

}  // namespace

class BulkWindowsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiBed> bed_;
  std::unique_ptr<QTemporaryDir> cli_dir_;
  std::unique_ptr<AppFrame> frame_;
  std::atomic<int> browses_{0};

  fs::path folder() const { return bed_->dir.path().toStdString(); }
  fs::path cli_folder() const { return cli_dir_->path().toStdString(); }
  Host& host() { return frame_->host(); }

  // The frame as the program has it, but the Event History browse that the maintenance window
  // starts is counted as it opens.
  void open_frame() {
    cli_dir_ = std::make_unique<QTemporaryDir>();
    fs::copy(folder(), cli_folder(), fs::copy_options::recursive);
    frame_ = std::make_unique<AppFrame>(bed_->session, [this](Procedure p) -> WindowFactory {
      if (p != Procedure::BrowseHistoryByName) return procedure_factory(p);
      return [this](const WindowServices& s) {
        ++browses_;
        return std::make_unique<BrowseHistoryByName>(s.session, s.windows, s.reporter);
      };
    });
    frame_->show();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
  }

  WindowView* view_titled(std::string_view title) {
    for (WindowView* v : host().views())
      if (v->windowTitle().trimmed() == QString::fromUtf8(title.data(), title.size()).trimmed())
        return v;
    return nullptr;
  }
  // The view of a window once it shows; null once the window has closed.
  QPointer<WindowView> wait_view(std::string_view title) {
    WindowView* v = nullptr;
    wait_for([&] { return (v = view_titled(title)) != nullptr; });
    return v;
  }
  // Starts a menu window by its keys.
  QPointer<WindowView> from_menu(Qt::Key key, std::string_view title) {
    frame_->activateWindow();
    QTest::keyClick(frame_.get(), key, Qt::AltModifier);
    return wait_view(title);
  }
  MessageBox* wait_message() {
    MessageBox* box = nullptr;
    wait_for([&] {
      const auto boxes = host().message_boxes();
      if (!boxes.empty()) box = boxes.front();
      return box != nullptr;
    });
    return box;
  }
  static bool wait_closed(const QPointer<WindowView>& v, int ms = 60000) {
    return wait_for([&] { return v.isNull(); }, ms);
  }

  static std::string value(WindowView* v, int control) {
    const auto& control_defs = v->control_defs();
    for (std::size_t i = 0; i < control_defs.size(); ++i)
      if (control_defs[i].id == control && i < v->last_state().controls.size())
        return v->last_state().controls[i].value;
    return {};
  }
  // The user acts once the window takes input: a window is shown before its first event has
  // been served, and takes none until then.
  static void wait_ready(WindowView* v) {
    QVERIFY(wait_for([&] { return v->isEnabled(); }));
  }
  static QLineEdit* editor(WindowView* v, int control) {
    QWidget* w = v->widget_of(control);
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
    return qobject_cast<QLineEdit*>(w);
  }
  // Clicks into a field, waits until the window has taken the cursor there (a window that says
  // where its cursor is fills some fields as it arrives), types the text over what is there and
  // leaves the field with Tab, or Enter when asked.
  static void type(WindowView* v, int control, const QString& text, bool enter = false) {
    wait_ready(v);
    QLineEdit* edit = editor(v, control);
    QVERIFY(edit);
    QTest::mouseClick(edit, Qt::LeftButton);
    if (v->last_state().focus != 0)
      QVERIFY(wait_for([&] { return v->last_state().focus == control; }));
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, enter ? Qt::Key_Return : Qt::Key_Tab);
  }
  static QWidget* option_of(WindowView* v, int group, const std::string& option) {
    for (const ControlSpec& c : v->control_defs())
      if (c.kind == ControlKind::Option && c.parent == group && c.value == option)
        return v->widget_of(c.id);
    return nullptr;
  }
  static void choose(WindowView* v, int group, const std::string& option) {
    wait_ready(v);
    click_box(option_of(v, group, option));
    QVERIFY(wait_for([&] { return value(v, group) == option; }));
  }
  // A radio button or check box takes a click on its mark.
  static void click_box(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
  }
  static void press(WindowView* v, int button) {
    wait_ready(v);
    QTest::mouseClick(qobject_cast<QAbstractButton*>(v->widget_of(button)), Qt::LeftButton);
  }
  // Picks a line of a drop-down list with the mouse.
  static void pick(WindowView* v, int control, const QString& line) {
    wait_ready(v);
    auto* combo = qobject_cast<QComboBox*>(v->widget_of(control));
    QVERIFY(combo);
    const int row = combo->findText(line);
    QVERIFY2(row >= 0, qPrintable(line));
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    QVERIFY(wait_for([&] { return list->isVisible(); }));
    const QRect r = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QVERIFY(wait_for([&] { return value(v, control) == line.toStdString(); }));
    // The list's popup took the window's activation; the user's next click gives it back.
    v->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(v->window()));
  }

 private Q_SLOTS:
  void init() {
    bed_ = std::make_unique<GuiBed>();
    browses_ = 0;
  }
  void cleanup() {
    frame_.reset();
    cli_dir_.reset();
    bed_.reset();
  }

  // Each action as a user runs it, against the same action of the command line.
  void historyActionsMatchTheCommandLine_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("thru");
    QTest::addColumn<QString>("extra");  // the hours or the backup name
    QTest::addColumn<QString>("command");
    QTest::newRow("delete one day") << "1"
                                    << "03/01/2009"
                                    << "03/01/2009"
                                    << ""
                                    << "history delete --from 03/01/2009 --thru 03/01/2009";
    QTest::newRow("rebuild two hours earlier")
        << "2"
        << "03/01/2009"
        << "03/02/2009"
        << "-2"
        << "history rebuild --from 03/01/2009 --thru 03/02/2009 --adjust-hours -2";
    QTest::newRow("export to a new name")
        << "3"
        << "02/28/2009"
        << "03/02/2009"
        << "MAR09"
        << "history export --from 02/28/2009 --thru 03/02/2009 --name MAR09";
    QTest::newRow("delete and import the backup")
        << "4"
        << "03/01/2009"
        << "03/03/2009"
        << ""
        << "history import --from 03/01/2009 --thru 03/03/2009";
  }
  void historyActionsMatchTheCommandLine() {
    QFETCH(QString, option);
    QFETCH(QString, from);
    QFETCH(QString, thru);
    QFETCH(QString, extra);
    QFETCH(QString, command);
    QVERIFY(fill<CalendarTable>(folder(), week_events()));
    // A backup that restores two changed events, with a line that is none and one of a day
    // outside the range.
    std::ofstream(folder() / "@BACKUP@.CSV")
        << "\"2009-03-01\",\"01:30\",\"JPY\",\"Capital Spending\",\"M\",\"-2.0%\",\"\",\"\",\"\","
           "\"140\",\"2\",\"1\",\"\"\r\n"
           "not a history line\r\n"
           "\"2009-03-02\",\"08:30\",\"USD\",\"ISM Manufacturing PMI\",\"H\",\"35.8\",\"\",\"\","
           "\"\",\"140\",\"3\",\"1\",\"\"\r\n"
           "\"2009-02-20\",\"08:30\",\"USD\",\"CPI m/m\",\"H\",\"0.3%\",\"\",\"\",\"\",\"140\","
           "\"3\",\"1\",\"\"\r\n";
    open_frame();

    QPointer<WindowView> v = from_menu(Qt::Key_F9, "  Delete / Rebuild News Event History items");
    QVERIFY(v);
    if (option == QStringLiteral("2")) {
      // From the keyboard: the arrow keys move between the choices and take the one reached.
      wait_ready(v);
      QWidget* first = option_of(v, number(H::OPTION1), "1");
      first->setFocus();
      QTest::keyClick(first, Qt::Key_Down);
      QVERIFY(wait_for([&] { return value(v, number(H::OPTION1)) == "2"; }));
    } else if (option != QStringLiteral("1")) {
      choose(v, number(H::OPTION1), option.toStdString());
    }
    // The hours belong to Rebuild, the name to Export and Import.
    QCOMPARE(editor(v, number(H::ADJUSTHRS))->isEnabled(), option == QStringLiteral("2"));
    QCOMPARE(editor(v, number(H::PFILENAME))->isEnabled(),
             option == QStringLiteral("3") || option == QStringLiteral("4"));
    type(v, number(H::FROMDATE), from);
    type(v, number(H::THRUDATE), thru);
    if (option == QStringLiteral("2")) type(v, number(H::ADJUSTHRS), extra);
    if (option == QStringLiteral("3")) type(v, number(H::PFILENAME), extra);
    press(v, number(H::OK));
    QVERIFY(wait_closed(v));
    // The Event History browse opens once the action is done.
    QVERIFY(wait_view("View News Events History database"));
    QCOMPARE(browses_.load(), 1);

    std::vector<std::string> args;
    for (const QString& a : command.split(QLatin1Char(' '))) args.push_back(a.toStdString());
    const CliRun run = cli(cli_folder(), args);
    QCOMPARE(run.code, 0);
    QCOMPARE(listing(folder(), "calendar"), listing(cli_folder(), "calendar"));
    QCOMPARE(csv_files(folder()), csv_files(cli_folder()));
    QVERIFY(!fs::exists(folder() / "CAL2.CSV"));
  }

  // Export a range under a new name, delete it, then restore it from the name the list offers.
  void exportThenImportRestoresTheRange() {
    QVERIFY(fill<CalendarTable>(folder(), week_events()));
    open_frame();
    const std::string before = listing(folder(), "calendar");
    const std::string_view title = "  Delete / Rebuild News Event History items";
    auto close_browse = [&] {
      QPointer<WindowView> browse = wait_view("View News Events History database");
      QVERIFY(browse);
      QTest::keyClick(browse->widget_of(number(BrowseControl::BROWSE_1)), Qt::Key_Escape);
      QVERIFY(wait_closed(browse));
    };

    QPointer<WindowView> v = from_menu(Qt::Key_F9, title);
    choose(v, number(H::OPTION1), "3");
    type(v, number(H::FROMDATE), QStringLiteral("02/28/2009"));
    type(v, number(H::THRUDATE), QStringLiteral("03/02/2009"));
    type(v, number(H::PFILENAME), QStringLiteral("WKND"), true);  // Enter is OK
    QVERIFY(wait_closed(v));
    close_browse();
    QVERIFY(fs::exists(folder() / "@WKND@.CSV"));

    v = from_menu(Qt::Key_F9, title);
    type(v, number(H::FROMDATE), QStringLiteral("02/28/2009"));
    type(v, number(H::THRUDATE), QStringLiteral("03/02/2009"));
    press(v, number(H::OK));
    QVERIFY(wait_closed(v));
    close_browse();
    QCOMPARE(listing(folder(), "calendar").size() < before.size(), true);

    v = from_menu(Qt::Key_F9, title);
    choose(v, number(H::OPTION1), "4");
    type(v, number(H::FROMDATE), QStringLiteral("02/28/2009"));
    type(v, number(H::THRUDATE), QStringLiteral("03/02/2009"));
    pick(v, number(H::PFILENAME), QStringLiteral("WKND"));
    press(v, number(H::OK));
    QVERIFY(wait_closed(v));
    close_browse();
    QCOMPARE(listing(folder(), "calendar"), before);
  }

  // The list offers the backups of the folder; " Delete this file" removes the one named.
  void backupListAndDeleteThisFile() {
    for (const char* f : {"@ONE@.CSV", "@two@.csv", "NOTABACK.CSV"}) std::ofstream(folder() / f);
    open_frame();
    QPointer<WindowView> v = from_menu(Qt::Key_F9, "  Delete / Rebuild News Event History items");
    choose(v, number(H::OPTION1), "3");
    auto* combo = qobject_cast<QComboBox*>(v->widget_of(number(H::PFILENAME)));
    QStringList lines;
    for (int i = 0; i < combo->count(); ++i) lines << combo->itemText(i);
    QCOMPARE(lines, (QStringList{QStringLiteral("ONE"), QStringLiteral("two")}));
    pick(v, number(H::PFILENAME), QStringLiteral("two"));
    press(v, number(H::DELETE1));
    QVERIFY(wait_for([&] { return combo->count() == 1; }));
    QCOMPARE(combo->itemText(0), QStringLiteral("ONE"));
    QVERIFY(!fs::exists(folder() / "@two@.csv"));
    QVERIFY(fs::exists(folder() / "@ONE@.CSV"));
    QVERIFY(fs::exists(folder() / "NOTABACK.CSV"));
    // A last date before the first keeps the window open with the cursor on it.
    type(v, number(H::FROMDATE), QStringLiteral("03/02/2009"));
    type(v, number(H::THRUDATE), QStringLiteral("03/01/2009"));
    press(v, number(H::OK));
    QVERIFY(wait_for([&] { return v->last_state().focus == number(H::THRUDATE); }));
    QTRY_VERIFY(editor(v, number(H::THRUDATE))->hasFocus());
    QVERIFY(!fs::exists(folder() / "@ONE@.CSV.tmp"));
    QTest::keyClick(editor(v, number(H::THRUDATE)), Qt::Key_Escape);
    QVERIFY(wait_closed(v));
    QCOMPARE(browses_.load(), 0);
  }

  // A stop message in the middle of an action: Ignore leaves the history as it was, says that
  // nothing was done and goes on to the browse; Abort ends the program with the history as it was.
  // Either way as the command line does it, with the same message.
  void stopMessagesLeaveTheHistoryAsItWas_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ignore");
    QTest::addColumn<QString>("message");
    QTest::newRow("rebuild collides, Ignore") << "2"
                                              << "" << true << "Build(CALENDAR.db) - ";
    QTest::newRow("rebuild collides, Abort") << "2"
                                             << "" << false << "Build(CALENDAR.db) - ";
    QTest::newRow("import repeats an event, Abort") << "4"
                                                    << "DUP" << false << "Build(CALENDAR.db) - ";
    QTest::newRow("import of a missing file, Ignore") << "4"
                                                      << "NONE" << true << "Open(@NONE@.CSV) - ";
  }
  void stopMessagesLeaveTheHistoryAsItWas() {
    QFETCH(QString, option);
    QFETCH(QString, name);
    QFETCH(bool, ignore);
    QFETCH(QString, message);
    // Two hours earlier, 1 March 01:30 lands on the event of 28 February 23:30.
    auto events = week_events();
    events.push_back(history_event(on(2, 28), at(23, 30), "JPY", "Capital Spending"));
    QVERIFY(fill<CalendarTable>(folder(), events));
    const std::string line =
        "\"2009-03-01\",\"01:30\",\"JPY\",\"Capital Spending\",\"M\",\"\",\"\",\"\",\"\","
        "\"140\",\"2\",\"1\",\"\"\r\n";
    std::ofstream(folder() / "@DUP@.CSV") << line << line;
    const std::string before = listing(folder(), "calendar");
    open_frame();
    QSignalSpy ended(&host(), &Host::programEnded);

    QPointer<WindowView> v = from_menu(Qt::Key_F9, "  Delete / Rebuild News Event History items");
    choose(v, number(H::OPTION1), option.toStdString());
    type(v, number(H::FROMDATE), QStringLiteral("03/01/2009"));
    type(v, number(H::THRUDATE), QStringLiteral("03/01/2009"));
    if (option == QStringLiteral("2")) type(v, number(H::ADJUSTHRS), QStringLiteral("-2"));
    if (!name.isEmpty()) type(v, number(H::PFILENAME), name);
    press(v, number(H::OK));
    MessageBox* box = wait_message();
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Stop"));
    const QString said = box->text();
    QVERIFY2(said.startsWith(message), qPrintable(said));
    QVERIFY(!v->isEnabled());
    box->button_for(ignore ? kIgnoreAnswer : kAbortAnswer)->click();
    if (ignore) {
      // Before the list opens, the user learns that nothing was done.
      MessageBox* nothing = wait_message();
      QVERIFY(nothing);
      QVERIFY2(nothing->text().startsWith(option == QStringLiteral("2")
                                              ? QStringLiteral("Nothing was rebuilt")
                                              : QStringLiteral("Nothing was restored")),
               qPrintable(nothing->text()));
      QCOMPARE(browses_.load(), 0);
      nothing->button_for(kOkButton)->click();
      QVERIFY(wait_closed(v));
      QVERIFY(wait_view("View News Events History database"));
    } else {
      QTRY_COMPARE(ended.count(), 1);
      QCOMPARE(ended.front().at(0).toInt(), kEndedExitCode);
      QCOMPARE(ended.front().at(1).toString(), said);
      QCOMPARE(browses_.load(), 0);
    }
    QCOMPARE(listing(folder(), "calendar"), before);
    QVERIFY(!fs::exists(folder() / "CAL2.CSV"));

    std::vector<std::string> args{"history", option == QStringLiteral("2") ? "rebuild" : "import",
                                  "--from",  "03/01/2009",
                                  "--thru",  "03/01/2009"};
    if (option == QStringLiteral("2")) args.insert(args.end(), {"--adjust-hours", "-2"});
    if (!name.isEmpty()) args.insert(args.end(), {"--name", name.toStdString()});
    if (ignore) args.insert(args.begin(), "--keep-going");
    const CliRun run = cli(cli_folder(), args);
    QCOMPARE(run.code, ignore ? 1 : 3);
    QVERIFY2(QString::fromStdString(run.err).contains(QStringLiteral("Stop: ") + said),
             run.err.c_str());
    QCOMPARE(listing(cli_folder(), "calendar"), before);
  }

  // A long rebuild counts in its window, which takes no input meanwhile, while the frame and the
  // other windows work.
  void rebuildCountsLiveWhileOtherWindowsWork() {
    constexpr int kEvents = 60000;
    std::vector<CalendarRecord> events;
    events.reserve(kEvents);
    for (int i = 0; i < kEvents; ++i) {
      const std::string d = "Event " + std::to_string(i);
      events.push_back(
          history_event(on(1, 1) + i / 40, at(i % 40 / 2, i % 2 * 30), "USD", d.c_str()));
    }
    QVERIFY(fill<CalendarTable>(folder(), events));
    open_frame();
    // The other window is up first; the user turns to it while the rebuild runs.
    QPointer<WindowView> other = from_menu(Qt::Key_F8, "  Delete Auxiliary Output items");
    QVERIFY(other);
    QPointer<WindowView> v = from_menu(Qt::Key_F9, "  Delete / Rebuild News Event History items");
    choose(v, number(H::OPTION1), "2");
    auto* count = qobject_cast<QLabel*>(v->widget_of(number(H::COUNT1)));
    press(v, number(H::OK));
    QVERIFY(wait_for([&] { return !v->isEnabled() && count->text().toInt() > 0; }));
    const int seen = count->text().toInt();
    QVERIFY2(seen < 2 * kEvents, qPrintable(count->text()));

    QVERIFY(other->isEnabled());
    type(other, number(D::FROMDATE), QStringLiteral("3/2/2009"));
    QTRY_COMPARE(value(other, number(D::FROMDATE)), std::string("03/02/2009"));
    QVERIFY2(v && !v->isEnabled(), "the rebuild ended before the other window was used");
    QTRY_VERIFY(v && count->text().toInt() > seen);
    QVERIFY(wait_closed(v, 120000));
    QVERIFY(wait_view("View News Events History database"));
    QCOMPARE(listing(folder(), "calendar"), listing(cli_folder(), "calendar"));
  }

  // Alt+F8: one record type, a range and a pair, as "aux delete" does it.
  void auxiliaryItemsDeletionMatchesTheCommandLine_data() {
    QTest::addColumn<QString>("pair");
    QTest::newRow("every currency") << "";
    QTest::newRow("only ALL") << "ALL";
    QTest::newRow("one pair") << "EURUSD";
  }
  void auxiliaryItemsDeletionMatchesTheCommandLine() {
    QFETCH(QString, pair);
    std::vector<SwapoutRecord> items;
    for (const char* type : {"NOTE", "SWAP"})
      for (int d : {1, 4, 5, 9})
        for (const char* ccy : {"EURUSD", "ALL", "GBPUSD"}) {
          SwapoutRecord r;
          r.rectype = type;
          r.date = on(3, d);
          r.time = at(23, 0);
          r.currency = ccy;
          r.text1 = "Swap";
          items.push_back(r);
        }
    QVERIFY(fill<SwapoutTable>(folder(), items));
    std::vector<SwaprateRecord> rates(2);
    rates[0].pair = "EURUSD";
    rates[1].pair = "GBPUSD";
    QVERIFY(fill<SwaprateTable>(folder(), rates));
    const std::string before = listing(folder(), "swapout");
    open_frame();

    QPointer<WindowView> v = from_menu(Qt::Key_F8, "  Delete Auxiliary Output items");
    QVERIFY(v);
    auto* types = qobject_cast<QComboBox*>(v->widget_of(number(D::RECTYPE)));
    auto* pairs = qobject_cast<QComboBox*>(v->widget_of(number(D::DELPAIR)));
    QCOMPARE(types->count(), 2);
    QCOMPARE(types->currentText(), QStringLiteral("NOTE"));
    QCOMPARE(pairs->count(), 4);
    QCOMPARE(pairs->itemText(1), QStringLiteral("ALL"));
    type(v, number(D::RECTYPE), QStringLiteral("swap"));
    type(v, number(D::FROMDATE), QStringLiteral("03/04/2009"));
    type(v, number(D::THRUDATE), QStringLiteral("03/05/2009"));
    if (!pair.isEmpty()) pick(v, number(D::DELPAIR), pair);
    QTest::keyClick(editor(v, number(D::THRUDATE)), Qt::Key_Return);
    QVERIFY(wait_closed(v));

    std::vector<std::string> args{"aux",    "delete",     "--type", "swap",
                                  "--from", "03/04/2009", "--thru", "03/05/2009"};
    if (!pair.isEmpty()) args.insert(args.end(), {"--pair", pair.toStdString()});
    QCOMPARE(cli(cli_folder(), args).code, 0);
    QCOMPARE(listing(folder(), "swapout"), listing(cli_folder(), "swapout"));
    QVERIFY(listing(folder(), "swapout") != before);
  }

  // "Modify Swap Details  (F6)" of the auxiliary item list opens the generation window on the
  // list's thread; its F2 and F3 open the two swap lists over it; OK generates the week.
  void swapGenerationFromTheAuxiliaryItemList_data() {
    QTest::addColumn<bool>("rebuild");
    QTest::newRow("rebuild") << true;
    QTest::newRow("keep earlier weeks") << false;
  }
  void swapGenerationFromTheAuxiliaryItemList() {
    QFETCH(bool, rebuild);
    std::vector<SwaprateRecord> rates(3);
    const char* pairs[] = {"EURUSD", "GBPUSD", "USDJPY"};
    for (int i = 0; i < 3; ++i) {
      rates[i].pair = pairs[i];
      rates[i].buy = 0.5 - i;
      rates[i].sell = -1.25 + i;
    }
    QVERIFY(fill<SwaprateTable>(folder(), rates));
    std::vector<SwapdataRecord> defs(2);
    defs[0].dateadd = 3;
    defs[1].dateadd = 4;
    for (auto& d : defs) {
      d.mt4time = at(23, 0);
      d.descr = "Swap";
      d.factor = 1;
      d.symbol = 233;
      d.symbol2 = 234;
      d.h1 = 1;
    }
    QVERIFY(fill<SwapdataTable>(folder(), defs));
    SwapoutRecord old;
    old.rectype = "SWAP";
    old.date = on(3, 4);
    old.currency = "EURUSD";
    QVERIFY(fill<SwapoutTable>(folder(), {old}));
    open_frame();

    host().start([](const WindowServices& s) {
      return std::make_unique<BrowseSwapOut>(s.session, s.windows, s.reporter, s.progress);
    });
    QPointer<WindowView> list = wait_view("  Auxiliary items list");
    QVERIFY(list);
    QTest::keyClick(list->widget_of(number(BrowseControl::BROWSE_1)), Qt::Key_F6);
    QPointer<WindowView> v = wait_view("  Modify Swap Details");
    QVERIFY(v);
    QVERIFY(wait_for([&] { return !list->isEnabled(); }));
    QCOMPARE(value(v, number(G::FROMDATE)), std::string("03/08/2009"));
    for (const auto& [key, title] :
         {std::pair{Qt::Key_F2, "Swap Details"},
          std::pair{Qt::Key_F3, "Swap Rates / Spread Collection settings"}}) {
      QTest::keyClick(editor(v, number(G::FROMDATE)), key);
      QPointer<WindowView> browse = wait_view(title);
      QVERIFY2(browse, title);
      QVERIFY(wait_for([&] { return !v->isEnabled(); }));
      // The list takes keys once its first event has been served.
      QVERIFY(wait_for([&] { return browse->isEnabled(); }));
      QTest::keyClick(browse->widget_of(number(BrowseControl::BROWSE_1)), Qt::Key_Escape);
      QVERIFY(wait_closed(browse));
      QVERIFY(wait_for([&] { return v->isEnabled(); }));
    }
    type(v, number(G::FROMDATE), QStringLiteral("03/15/2009"));
    if (!rebuild) click_box(v->widget_of(number(G::REBUILD)));
    QVERIFY(wait_for([&] { return value(v, number(G::REBUILD)) == (rebuild ? "1" : "0"); }));
    QTest::keyClick(editor(v, number(G::FROMDATE)), Qt::Key_Return);
    QVERIFY(wait_closed(v));
    QVERIFY(wait_for([&] { return list->isEnabled(); }));

    std::vector<std::string> args{"swap", "generate", "--sunday", "03/15/2009"};
    if (!rebuild) args.push_back("--keep-existing");
    QCOMPARE(cli(cli_folder(), args).code, 0);
    const std::string items = listing(folder(), "swapout");
    QCOMPARE(items, listing(cli_folder(), "swapout"));
    QCOMPARE(QString::fromStdString(items).contains(QStringLiteral("03/04/2009")), !rebuild);
  }

  // "Import from Swaprate.CSV" of the swap rate list: the import window, then a message with
  // the lines it left out and why.
  void swapRateImportFromTheSwapRateList_data() {
    QTest::addColumn<bool>("add_new");
    QTest::addColumn<bool>("file");
    QTest::newRow("add new pairs") << true << true;
    QTest::newRow("stored pairs only") << false << true;
    QTest::newRow("no file, Ignore") << false << false;
  }
  void swapRateImportFromTheSwapRateList() {
    QFETCH(bool, add_new);
    QFETCH(bool, file);
    std::vector<SwaprateRecord> rates(2);
    rates[0].pair = "EURUSD";
    rates[0].all = 1;
    rates[1].pair = "GBPUSD";
    QVERIFY(fill<SwaprateTable>(folder(), rates));
    if (file)
      std::ofstream(folder() / "swaprate.csv") << "EURUSD,1.25,-3.5\r\nGBPUSD;0.8;-1.1\r\n"
                                                  "NZDUSD,0.5,0.25\r\nUSDJPY,x,1\r\n"
                                                  "gbpusd, 2 , -0.75 \r\n";
    open_frame();

    host().start([](const WindowServices& s) {
      return std::make_unique<BrowseSwapRate>(s.session, s.windows, s.reporter, s.progress);
    });
    QPointer<WindowView> list = wait_view("Swap Rates / Spread Collection settings");
    QVERIFY(list);
    press(list, number(BrowseControl::EXTRA));
    QPointer<WindowView> v = wait_view("  Import Swap Rates");
    QVERIFY(v);
    if (add_new) click_box(v->widget_of(number(I::ADDNEW)));
    QVERIFY(wait_for([&] { return value(v, number(I::ADDNEW)) == (add_new ? "1" : "0"); }));
    type(v, number(I::MULTIPLIER), QStringLiteral("10"), true);

    MessageBox* box = wait_message();
    QVERIFY(box);
    std::vector<std::string> args{"swap", "import", "--multiplier", "10"};
    if (add_new) args.push_back("--add-new");
    if (!file) args.insert(args.begin(), "--keep-going");
    const CliRun run = cli(cli_folder(), args);
    if (file) {
      QVERIFY(wait_closed(v));
      QCOMPARE(box->windowTitle(), QStringLiteral("  Import Swap Rates"));
      QVERIFY2(box->text().startsWith(
                   QStringLiteral("2 lines of swaprate.csv skipped (not \"pair,buy,sell\"):\n")),
               qPrintable(box->text()));
      // Every line the command line reports as skipped, with its reason.
      std::istringstream err(run.err);
      int skipped = 0;
      for (std::string l; std::getline(err, l);) {
        if (l.rfind("swaprate.csv ", 0) != 0) continue;
        ++skipped;
        const std::string why = l.substr(13, l.size() - 13 - std::string(" (skipped)").size());
        QVERIFY2(box->text().contains(QString::fromStdString(why + "\n")), why.c_str());
      }
      QCOMPARE(skipped, 2);
      QVERIFY(box->text().endsWith(add_new
                                       ? QStringLiteral("5 lines read: 2 pairs updated, 1 added")
                                       : QStringLiteral("5 lines read: 2 pairs updated, 0 "
                                                        "added, 1 new pairs not added (Add new "
                                                        "currency pairs off)")));
      box->button_for(kOkButton)->click();
    } else {
      QCOMPARE(box->text(), QStringLiteral("Open(swaprate.csv) - File Not Found"));
      box->button_for(kIgnoreAnswer)->click();
      QVERIFY(wait_closed(v));
    }
    QVERIFY(wait_for([&] { return list->isEnabled(); }));
    QVERIFY(host().message_boxes().empty());
    QCOMPARE(run.code, file ? 0 : 1);
    QCOMPARE(listing(folder(), "swaprate"), listing(cli_folder(), "swaprate"));
  }

  // Every text of the four windows shows whole, no two controls overlap, and each control is
  // named for a screen reader.
  void everyTextFitsAndEveryControlIsNamed_data() {
    QTest::addColumn<int>("window");
    QTest::newRow("DELETEHISTORY") << 0;
    QTest::newRow("DELETESWAPOUT") << 1;
    QTest::newRow("SWAPOUTPUT") << 2;
    QTest::newRow("IMPORTSWAPRATES") << 3;
  }
  void everyTextFitsAndEveryControlIsNamed() {
    QFETCH(int, window);
    Session& s = bed_->session;
    mervane::test::StubWindows windows{s};
    mervane::test::ScriptedReporter reporter;
    NoProgress progress;
    std::unique_ptr<WindowModel> m;
    if (window == 0) m = std::make_unique<DeleteHistory>(s, windows, reporter, progress);
    if (window == 1) m = std::make_unique<DeleteSwapOut>(s, windows, reporter, progress);
    if (window == 2) m = std::make_unique<SwapOutput>(s, windows, reporter, progress);
    if (window == 3) m = std::make_unique<ImportSwapRates>(s, reporter, progress);
    m->open();
    WindowView v(m->controls(), EventSink{});
    v.apply(m->state());
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    QCOMPARE(v.accessibleName(), QString::fromStdString(m->title()).trimmed());

    std::vector<QWidget*> placed;
    for (const ControlSpec& c : v.control_defs()) {
      QWidget* w = v.widget_of(c.id);
      if (!w) continue;
      if (w->parentWidget() != &v) w = w->parentWidget();  // a date field with its button
      if (std::find(placed.begin(), placed.end(), w) != placed.end()) continue;
      const QString what = QString::fromStdString(c.use.empty() ? c.text : c.use);
      QVERIFY2(QRect(QPoint(0, 0), v.size()).contains(w->geometry()), qPrintable(what));
      const bool own = w == v.widget_of(c.id);
      if (own && (c.kind == ControlKind::Prompt || c.kind == ControlKind::Option ||
                  c.kind == ControlKind::Check || c.kind == ControlKind::Button)) {
        const QSize need = w->sizeHint();
        QVERIFY2(need.width() <= w->width() && need.height() <= w->height() + 2,
                 qPrintable(QStringLiteral("%1 needs %2x%3, has %4x%5")
                                .arg(what)
                                .arg(need.width())
                                .arg(need.height())
                                .arg(w->width())
                                .arg(w->height())));
      }
      if (c.kind != ControlKind::OptionGroup && c.kind != ControlKind::Group) {
        for (QWidget* other : placed)
          QVERIFY2(!other->geometry().intersects(w->geometry()), qPrintable(what));
        placed.push_back(w);
      }
      if (!c.use.empty()) {
        QVERIFY2(!v.widget_of(c.id)->accessibleName().isEmpty(), qPrintable(what));
        QCOMPARE(v.widget_of(c.id)->accessibleDescription(),
                 QString::fromStdString(c.use.substr(1)));
      }
    }
    const std::map<int, QString> counters = {{0, QStringLiteral("Records processed")},
                                             {1, QStringLiteral("Items examined")},
                                             {2, QStringLiteral("Records deleted and written")},
                                             {3, QStringLiteral("Lines read")}};
    const int count1 = window == 0   ? number(H::COUNT1)
                       : window == 1 ? number(D::COUNT1)
                       : window == 2 ? number(G::COUNT1)
                                     : number(I::COUNT1);
    QCOMPARE(v.widget_of(count1)->accessibleName(), counters.at(window));
  }
};

}  // namespace mervane::gui::test

QTEST_MAIN(mervane::gui::test::BulkWindowsTest)
#include "test_bulk_windows.moc"
