#include "gui/frame/desktop.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMenu>
#include <QVariantMap>

#include "core/live/tray.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

QString utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void DesktopNotifications::notify(const QString& summary, const QString& body, Fallback fallback) {
  if (!bus_) bus_ = QDBusConnection::sessionBus();
  if (!bus_->isConnected()) {
    fallback(summary, body);
    return;
  }
  if (markup_) {
    send(summary, body, std::move(fallback));
    return;
  }
  // A service that reads markup in the body (most do) would take a title's "&" or "<" for
  // some; it says so among its capabilities, asked once.
  auto* watcher = new QDBusPendingCallWatcher(
      bus_->asyncCall(method(QStringLiteral("GetCapabilities")), kAnswerMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, watcher, summary, body, fallback = std::move(fallback)]() mutable {
            watcher->deleteLater();
            const QDBusPendingReply<QStringList> caps = *watcher;
            if (caps.isError()) {
              fallback(summary, body);
              return;
            }
            markup_ = caps.value().contains(QStringLiteral("body-markup"));
            send(summary, body, std::move(fallback));
          });
}

QDBusMessage DesktopNotifications::method(const QString& name) {
  return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                        QStringLiteral("/org/freedesktop/Notifications"),
                                        QStringLiteral("org.freedesktop.Notifications"), name);
}

void DesktopNotifications::send(const QString& summary, const QString& body, Fallback fallback) {
  QDBusMessage call = method(QStringLiteral("Notify"));
  // The desktop entry lets the desktop group the notifications under the program and keep its
  // settings for them.
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("mervane"));
  call << QStringLiteral("Mervane") << 0u << QStringLiteral("mervane") << summary
       << (*markup_ ? body.toHtmlEscaped() : body) << QStringList() << hints << -1;
  auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(call, kAnswerMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [watcher, summary, body, fallback = std::move(fallback)] {
            watcher->deleteLater();
            if (watcher->isError()) fallback(summary, body);
          });
}

void fill_tray_menu(QMenu& menu, const WatchStatus& s, const std::function<void()>& open,
                    const std::function<void()>& quit) {
  menu.clear();
  for (const std::string& line : tray_event_lines(s)) {
    // A title's "&" is no mnemonic.
    QString text = utf8(line);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QObject::connect(menu.addAction(text), &QAction::triggered, &menu, open);
  }
  menu.addSeparator();
  QObject::connect(menu.addAction(qtext(kTrayOpen)), &QAction::triggered, &menu, open);
  QObject::connect(menu.addAction(qtext(kTrayQuit)), &QAction::triggered, &menu, quit);
}

}  // namespace mervane::gui
