// The watch's alerts on the desktop: on a private session bus, first without a notification
// service (the alert is in the frame's status bar), then with python3-dbusmock's notification
// daemon, which logs the Notify calls it gets; and the tray icon's menu from a watch status.
#include <QAction>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <optional>

#include "gui/frame/app_frame.h"
#include "tests/gui/gui_support.h"

namespace mervane::gui::test {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

// A bus of the test's own, with no service folders: nothing on it is started on demand, so the
// notification service is there exactly when the test starts it.
const char* const kBusConfig =
    "<busconfig>\n"
    "  <type>session</type>\n"
    "  <listen>unix:tmpdir=/tmp</listen>\n"
    "  <auth>EXTERNAL</auth>\n"
    "  <policy context=\"default\">\n"
    "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
    "    <allow eavesdrop=\"true\"/>\n"
    "    <allow own=\"*\"/>\n"
    "  </policy>\n"
    "</busconfig>\n";

Alert alert(AlertKind kind, const char* title, const char* forecast, const char* actual) {
  Alert a;
  a.kind = kind;
  a.time = "2026.03.06 15:30";
  a.currency = "USD";
  a.impact = "H";
  a.title = title;
  a.forecast = forecast;
  a.previous = "82K";
  a.actual = actual;
  return a;
}

// The alerts and what the desktop is to show of each.
const struct {
  Alert alert;
  const char* summary;
  const char* body;      // as alert_body gives it
  const char* notified;  // as a service that reads markup gets it
} kAlerts[] = {
    {alert(AlertKind::Before, "Non-Farm Employment Change", "45K", ""),
     "USD H: Non-Farm Employment Change", "2026.03.06 15:30 MT4 - forecast 45K, previous 82K",
     "2026.03.06 15:30 MT4 - forecast 45K, previous 82K"},
    {alert(AlertKind::Released, "Non-Farm Employment Change", "45K", "63K"),
     "USD H: Non-Farm Employment Change",
     "2026.03.06 15:30 MT4 - actual 63K against forecast 45K, previous 82K",
     "2026.03.06 15:30 MT4 - actual 63K against forecast 45K, previous 82K"},
    {alert(AlertKind::Released, "S&P Global PMI", "<50", "49.5"), "USD H: S&P Global PMI",
     "2026.03.06 15:30 MT4 - actual 49.5 against forecast <50, previous 82K",
     "2026.03.06 15:30 MT4 - actual 49.5 against forecast &lt;50, previous 82K"},
};

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QProcess bus_, mock_;
  QString address_;
  std::optional<QDBusConnection> conn_;

 private Q_SLOTS:
  void initTestCase() {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    QVERIFY2(!daemon.isEmpty(), "dbus-daemon is not installed (scripts/deps.sh installs it)");
    const QString config = dir_.filePath(QStringLiteral("bus.conf"));
    QFile f(config);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(kBusConfig);
    f.close();
    bus_.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
    QVERIFY2(bus_.waitForStarted(), qPrintable(bus_.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(bus_.canReadLine() || bus_.state() == QProcess::NotRunning, 20000);
    address_ = QString::fromUtf8(bus_.readLine()).trimmed();
    QVERIFY2(!address_.isEmpty(), bus_.readAllStandardError().constData());
    conn_ = QDBusConnection::connectToBus(address_, QStringLiteral("mervane-test-bus"));
    QVERIFY2(conn_->isConnected(), qPrintable(conn_->lastError().message()));
  }

  void cleanupTestCase() {
    for (QProcess* p : {&mock_, &bus_}) {
      if (p->state() == QProcess::NotRunning) continue;
      p->terminate();
      if (!p->waitForFinished(5000)) p->kill();
      p->waitForFinished();
    }
  }

  void withoutANotificationServiceTheStatusBarTells() {
    GuiBed bed;
    AppFrame frame(bed.session);
    frame.notifications().use_bus(*conn_);
    for (const auto& c : kAlerts) {
      frame.watch_output().alert(c.alert);
      QTRY_COMPARE(
          frame.statusBar()->currentMessage(),
          QString::fromUtf8(c.summary) + QStringLiteral(" - ") + QString::fromUtf8(c.body));
    }
  }

  void theNotificationServiceGetsEachAlert() {
    const QString log = dir_.filePath(QStringLiteral("notify.log"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    mock_.setProcessEnvironment(env);
    // Debian's own python3, which python3-dbusmock installs for.
    mock_.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                 QStringLiteral("notification_daemon"), QStringLiteral("-l"), log});
    QVERIFY2(mock_.waitForStarted(), qPrintable(mock_.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(conn_->interface()->isServiceRegistered(kService).value() ||
                                 mock_.state() == QProcess::NotRunning,
                             30000);
    QVERIFY2(mock_.state() == QProcess::Running,
             qPrintable(QStringLiteral("python3-dbusmock's notification daemon did not start "
                                       "(scripts/deps.sh installs python3-dbusmock): ") +
                        QString::fromUtf8(mock_.readAllStandardError())));

    GuiBed bed;
    AppFrame frame(bed.session);
    frame.notifications().use_bus(*conn_);
    const QString before = frame.statusBar()->currentMessage();
    QStringList want;
    for (const auto& c : kAlerts) {
      frame.watch_output().alert(c.alert);
      // The log prints the arguments as they came: app name, replaced id, icon, summary, body.
      want << QStringLiteral("Notify \"Mervane\" 0 \"mervane\" \"%1\" \"%2\" ")
                  .arg(QString::fromUtf8(c.summary), QString::fromUtf8(c.notified));
      QTRY_COMPARE(notify_calls(log).size(), want.size());
    }
    const QStringList got = notify_calls(log);
    for (qsizetype i = 0; i < want.size(); ++i)
      QVERIFY2(got[i].startsWith(want[i]),
               qPrintable(got[i] + QStringLiteral("\nwanted: ") + want[i]));
    // Nothing fell back to the status bar.
    QCOMPARE(frame.statusBar()->currentMessage(), before);
  }

  void theTrayMenuNamesTheNextEvents() {
    WatchStatus s;
    s.last_run = 1773043200;
    s.upcoming = {kAlerts[0].alert, kAlerts[2].alert};
    QMenu menu;
    int opened = 0, quit = 0;
    // Filled twice: the second status replaces the first's lines.
    for (int round = 0; round < 2; ++round)
      fill_tray_menu(
          menu, s, [&] { ++opened; }, [&] { ++quit; });
    QStringList texts;
    for (QAction* a : menu.actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(
        texts,
        (QStringList{QStringLiteral("2026.03.06 15:30  USD H  Non-Farm Employment Change"),
                     QStringLiteral("2026.03.06 15:30  USD H  S&&P Global PMI"),
                     QStringLiteral("-"), QStringLiteral("Open Mervane"), QStringLiteral("Quit")}));
    menu.actions()[1]->trigger();
    menu.actions()[3]->trigger();
    QCOMPARE(opened, 2);
    QCOMPARE(quit, 0);
    menu.actions()[4]->trigger();
    QCOMPARE(quit, 1);
  }

 private:
  // The Notify calls of the daemon's log, each without its time.
  static QStringList notify_calls(const QString& log) {
    QFile f(log);
    QStringList calls;
    if (!f.open(QIODevice::ReadOnly)) return calls;
    for (const QByteArray& line : f.readAll().split('\n')) {
      const qsizetype at = line.indexOf(" Notify ");
      if (at >= 0) calls << QString::fromUtf8(line.mid(at + 1));
    }
    return calls;
  }
};

}  // namespace mervane::gui::test

QTEST_MAIN(mervane::gui::test::DesktopTest)
#include "test_desktop.moc"
