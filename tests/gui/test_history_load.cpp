// The "Load calendar history" window of the File menu, played offscreen as a user plays it
// against a local HTTP server: months and pause typed, Load, the counts arriving live, Cancel
// heard while the window waits between two months, and saved pages chosen in the file dialog.
// The Event History it leaves is compared with the command line's.
#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>
#include <fstream>
#include <sstream>

#include "cli/app.h"
#include "core/menu/main_frame.h"
#include "core/runtime/file_system.h"
#include "core/output/history_load_window.h"
#include "tests/gui/gui_support.h"
#include "tests/import/days_support.h"
#include "tests/support/http_server.h"

namespace mervane::gui::test {

using C = LoadHistoryControl;
constexpr const char* kZone = "Europe/London";

class HistoryLoadTest : public QObject {
  Q_OBJECT

  std::unique_ptr<GuiBed> bed_;
  std::unique_ptr<QWidget> frame_;
  QMdiArea* area_ = nullptr;
  std::unique_ptr<Host> host_;
  std::unique_ptr<mervane::test::HttpServer> server_;

  static int cli(const std::filesystem::path& dir, std::vector<std::string> args,
                 std::string* out = nullptr) {
    args.insert(args.begin(), {"--dir", dir.string(), "--today", "03/11/2009", "--quiet"});
    std::ostringstream o, e;
    const int code = cli::run(args, o, e, FileSystem::local());
    if (out) *out = o.str();
    return code;
  }
  std::filesystem::path folder() const { return bed_->session.folder(); }
  static void write_file(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }

  WindowView* open_window() {
    host_->start(Procedure::LoadHistory);
    WindowView* v = nullptr;
    wait_for([&] {
      const auto views = host_->views();
      v = views.empty() ? nullptr : views.front();
      return v && v->isEnabled();
    });
    return v;
  }
  static std::string value(WindowView* v, C c) {
    const auto& defs = v->control_defs();
    for (std::size_t i = 0; i < defs.size(); ++i)
      if (defs[i].id == number(c) && i < v->last_state().controls.size())
        return v->last_state().controls[i].value;
    return "?";
  }
  void type(WindowView* v, C c, const QString& text) {
    // The window the user types into is the active one (offscreen there is no window manager).
    QApplication::setActiveWindow(frame_.get());
    if (auto* sub = qobject_cast<QMdiSubWindow*>(v->parentWidget())) area_->setActiveSubWindow(sub);
    auto* e = qobject_cast<QLineEdit*>(v->widget_of(number(c)));
    QVERIFY(e);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Tab);
  }
  static void click(WindowView* v, C c) {
    auto* b = qobject_cast<QAbstractButton*>(v->widget_of(number(c)));
    QVERIFY(b);
    QTRY_VERIFY(b->isEnabled());
    b->click();
  }
  void load(WindowView* v, const char* to, const char* pause) {
    type(v, C::FROM, QStringLiteral("2015-01"));
    type(v, C::TO, QString::fromLatin1(to));
    type(v, C::PAUSE, QString::fromLatin1(pause));
    QTRY_COMPARE(value(v, C::PAUSE), std::string(pause));
    click(v, C::LOAD);
  }

 private Q_SLOTS:
  void init() {
    bed_ = std::make_unique<GuiBed>();
    frame_ = std::make_unique<QWidget>();
    area_ = new QMdiArea(frame_.get());
    host_ = std::make_unique<Host>(bed_->session, area_, frame_.get());
    host_->set_procedures(&procedure_factory);
    frame_->resize(1000, 700);
    area_->resize(1000, 700);
    frame_->show();
    server_ = std::make_unique<mervane::test::HttpServer>([](const mervane::test::HttpRequest& r) {
      static const char* names[] = {"jan", "feb", "mar"};
      for (int m = 1; m <= 3; ++m)
        if (r.target == std::string("/calendar?month=") + names[m - 1] + ".2015")
          return mervane::test::HttpResponse{200,
                                             mervane::test::month_page_2015(m, "1.0%", kZone)};
      return mervane::test::HttpResponse{404, "no such page"};
    });
    QCOMPARE(cli(folder(), {"calendar-url", server_->base()}), 0);
  }
  void cleanup() {
    host_.reset();
    frame_.reset();
    server_.reset();
    bed_.reset();
  }

  void loadsTheMonthsAsTheCommandLineDoes() {
    WindowView* v = open_window();
    QVERIFY(v);
    QCOMPARE(v->windowTitle(), QStringLiteral("Load calendar history"));
    load(v, "2015-03", "0");
    QTRY_COMPARE_WITH_TIMEOUT(value(v, C::NOTE), std::string("Done: 3 months, 6 events stored"),
                              30000);
    QCOMPARE(value(v, C::EVENTS), std::string("6"));

    QTemporaryDir other;
    QCOMPARE(cli(other.path().toStdString(), {"calendar-url", server_->base()}), 0);
    QCOMPARE(cli(other.path().toStdString(), {"history", "load", "2015-01", "2015-03", "--pause",
                                              "0"}),
             0);
    std::string mine, theirs;
    QCOMPARE(cli(folder(), {"list", "calendar"}, &mine), 0);
    QCOMPARE(cli(other.path().toStdString(), {"list", "calendar"}, &theirs), 0);
    QCOMPARE(mine, theirs);
    QVERIFY(mine.find("event 3/28") != std::string::npos);

    click(v, C::CANCEL);
    QTRY_COMPARE(host_->running(), 0);
  }

  void cancelIsHeardWhileTheWindowWaitsBetweenMonths() {
    WindowView* v = open_window();
    QVERIFY(v);
    load(v, "2015-03", "600");  // ten minutes between two requests
    QTRY_COMPARE_WITH_TIMEOUT(value(v, C::MONTHS), std::string("1"), 30000);
    QVERIFY(!v->widget_of(number(C::LOAD))->isEnabled());
    click(v, C::CANCEL);
    QTRY_COMPARE_WITH_TIMEOUT(host_->running(), 0, 5000);
    QCOMPARE(server_->requests().size(), std::size_t{1});
    std::string listed;
    QCOMPARE(cli(folder(), {"list", "calendar"}, &listed), 0);
    QVERIFY(listed.find("event 1/27") != std::string::npos);
    QVERIFY(listed.find("event 2/27") == std::string::npos);
  }

  void importsSavedPagesChosenInTheDialog() {
    // The week of 25 January, with the newer actuals, chosen before January's month page: read
    // in the order of their days, the week's actuals stand.
    const std::filesystem::path week = folder() / "week.html", month = folder() / "month.html";
    write_file(week, mervane::test::month_page_2015(1, "2.0%", kZone, true));
    write_file(month, mervane::test::month_page_2015(1, "1.0%", kZone));
    QSignalSpy shown(host_.get(), &Host::fileDialogShown);
    WindowView* v = open_window();
    QVERIFY(v);
    click(v, C::IMPORT);
    QTRY_COMPARE(shown.count(), 1);
    auto* dialog = qobject_cast<QFileDialog*>(shown.at(0).at(0).value<QWidget*>());
    QVERIFY(dialog);
    QVERIFY(!v->isEnabled());  // the dialog blocks the window that asked
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    QTest::keyClicks(name, QStringLiteral("\"week.html\" \"month.html\""));
    QTest::keyClick(name, Qt::Key_Return);
    QTRY_COMPARE(value(v, C::NOTE), std::string("2 saved pages read"));
    std::string listed;
    QCOMPARE(cli(folder(), {"list", "calendar"}, &listed), 0);
    QVERIFY2(listed.find("2.0%") != std::string::npos && listed.find("1.0%") == std::string::npos,
             listed.c_str());
  }
};

}  // namespace mervane::gui::test

QTEST_MAIN(mervane::gui::test::HistoryLoadTest)
#include "test_history_load.moc"
