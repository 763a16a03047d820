// What the windows program puts on the desktop beside its frame while it keeps the week
// current: alerts as desktop notifications, and the menu of its icon in the system tray.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "core/live/watch.h"

class QMenu;

namespace mervane::gui {

// Alerts as notifications of the freedesktop notification service (org.freedesktop.Notifications
// on the session bus, which every desktop's notifications answer): app name "Mervane", the
// program's icon and desktop entry. The call does not wait for its answer; when no service takes
// it (none on the bus, no bus, an error), the alert goes to the fallback, once. Where the
// service reads markup in the body, the body's "&", "<" and ">" are written as such.
class DesktopNotifications : public QObject {
 public:
  using Fallback = std::function<void(const QString& summary, const QString& body)>;
  // How long a service has to answer (one that is started for the call included).
  static constexpr int kAnswerMs = 10000;

  explicit DesktopNotifications(QObject* parent = nullptr) : QObject(parent) {}
  // The bus to notify on; the session bus unless one is given (tests give a private one).
  void use_bus(const QDBusConnection& bus) {
    bus_ = bus;
    markup_.reset();
  }
  void notify(const QString& summary, const QString& body, Fallback fallback);

 private:
  static QDBusMessage method(const QString& name);
  void send(const QString& summary, const QString& body, Fallback fallback);

  std::optional<QDBusConnection> bus_;
  std::optional<bool> markup_;  // the service reads markup in the body; unknown until asked
};

// Fills the tray icon's menu: the next selected events (tray_event_lines), each opening the
// frame, then "Open Mervane" and "Quit".
void fill_tray_menu(QMenu& menu, const WatchStatus& s, const std::function<void()>& open,
                    const std::function<void()>& quit);

}  // namespace mervane::gui
