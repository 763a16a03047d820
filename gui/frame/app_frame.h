// APPFRAME: the frame window with the "&File" menu of the core's menu model, an MDI area with a
// background picture the program draws, and a status bar. Windows started from the menu are
// sub-windows of the MDI area, usable side by side; each menu choice starts a further one.
//
// Closing the frame (E&xit, Alt+F4, the close box) asks every window to close and closes when
// the last one has; a window busy on a long run finishes it first. While "Keep this week
// current" watches and the desktop offers a system tray, the window system's close (Alt+F4, the
// close box) may instead hide the frame and keep the program running under an icon in the tray
// (core/live/tray.h): its menu names the next selected events and opens the frame again or quits
// (as E&xit does). A message of a window working in the hidden frame shows the frame.
//
// Alerts of the watch are desktop notifications (desktop.h); without a notification service they
// are a message of the tray icon, without one in the status bar.
//
// Start-up: the frame shows once the Build window is in it with the state its model published
// after its first event, the frame sized to hold it, so that its first picture is the frame with
// the window as the user gets it (one layout, one paint). The frame opens where and as large as
// the user left it (FRAMEPLACE in mervane.cfg, written when it closes); the first time, as large
// as the Build window needs and centred on the screen's available area, or maximized when that is
// smaller. A window opened over the frame (the
// Initial setup), a message, or the end of every window shows it as well; a window that takes
// longer than kShowAtLatest finds the frame already up. While the frame is built and the Build
// window's model opens, the system's fonts load on a thread of their own.
#pragma once

#include <QMainWindow>
#include <QMargins>
#include <QMdiArea>
#include <QPointer>
#include <chrono>
#include <map>
#include <memory>
#include <thread>

#include "core/live/tray.h"
#include "core/live/watch_runner.h"
#include "core/menu/main_frame.h"
#include "gui/frame/desktop.h"
#include "gui/host/host.h"

class QLabel;
class QMenu;
class QSystemTrayIcon;

namespace mervane::gui {

// The MDI area with the frame's background picture, painted where windows leave it exposed.
class BackgroundArea : public QMdiArea {
 public:
  using QMdiArea::QMdiArea;

 protected:
  void paintEvent(QPaintEvent* e) override;
};

class AppFrame;

// What the watch of "Keep this week current" tells, passed from its thread to the frame's.
class FrameWatchOutput final : public WatchOutput {
 public:
  explicit FrameWatchOutput(AppFrame& frame) : frame_(frame) {}
  void cycle(std::string_view line) override;
  void warning(std::string_view line) override;
  void alert(const Alert& a) override;
  void status(const WatchStatus& s) override;

 private:
  AppFrame& frame_;
};

class AppFrame : public QMainWindow, private Starter {
 public:
  // The longest the frame waits for the Build window before it shows without it.
  static constexpr std::chrono::milliseconds kShowAtLatest{300};
  // What a window manager adds above and around a window (its title bar and borders) at 100 %,
  // before a window is shown and its own can be read: the tallest of the usual desktops'.
  static constexpr QMargins kDecoration{4, 32, 4, 4};

  // procedures: the factories of the menu's windows (the program's own by default).
  explicit AppFrame(Session& session, std::function<WindowFactory(Procedure)> procedures = {},
                    QWidget* parent = nullptr);
  ~AppFrame() override;

  // MAIN: the request values and the Build window started; the frame shows when the window is
  // in it (see above).
  void open();

  // The status bar names the working folder; made: this start made it (the user's own folder
  // at the first start), which it says.
  void set_folder_made(bool made) { folder_made_ = made; }

  // The frame made whole (shown, or opened): its status bar once the fonts are loaded.
  void setVisible(bool visible) override;

  Host& host() { return *host_; }
  // The watch of "Keep this week current"; the clock its thread makes (the system's by default).
  WatchRunner& watch() { return *watch_; }
  void set_watch_clock(WatchRunner::ClockFactory clock);
  // The status bar's text of the watch: "This week kept current: last run ..., next run ...".
  QString watch_text() const;
  // Where the watch tells what it does (from any thread).
  WatchOutput& watch_output() { return watch_out_; }
  DesktopNotifications& notifications() { return *notifications_; }
  // Kept running in the system tray, the frame hidden.
  bool in_tray() const { return in_tray_; }
  QMdiArea* area() { return area_; }
  QAction* action(MainControl c) const;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void start(Procedure p) override;
  friend class FrameWatchOutput;
  // On the GUI thread: what the watch told.
  void show_watch_status(const WatchStatus& s);
  void show_watch_message(const QString& text);
  void show_alert(const Alert& a);
  // The alert where no notification service took it.
  void alert_fallback(const QString& summary, const QString& body);
  // The watch runs for "Keep this week current".
  bool watching() const;
  // The question of the first close while watching, once at a time.
  void ask_about_tray();
  void to_tray();
  void fill_tray_menu_now();
  void from_tray();
  // E&xit, the tray's "Quit": the program ends whatever the tray's answer.
  void quit();
  // The watch as "Keep this week current" says.
  void keep_current();
  void view_opened(WindowView* view);
  void view_updated(WindowView* view);
  // A window larger than the client area makes the frame grow to show it (within the screen).
  void make_room_for(QMdiSubWindow* sub);
  void grow(QMdiSubWindow* sub, QSize need, QSize have);
  // The place the user left the frame in, when there is one; whether it was taken.
  bool take_kept_place();
  void keep_place();
  // A frame not yet shown, sized for a window it is to hold: centred on the screen's available
  // area, or maximized when it would not fit there.
  void place_for(QSize size);
  // What is put around the frame on the desktop: its title bar and borders.
  QMargins frame_margins();
  // A window larger than the client area is scrolled so that the control with the focus shows
  // (Tab through a window reaches its last control visibly), its top left corner first.
  void scroll_to(QWidget* focused);
  void scroll_to_corner(QMdiSubWindow* sub);
  // Waits for the fonts, then adds the status bar; once.
  void complete();
  // Shows the frame, once, if open() is waiting to.
  void show_when_opening();

  Session& session_;
  Main main_;
  BackgroundArea* area_;
  std::unique_ptr<Host> host_;
  std::map<MainControl, QAction*> actions_;
  std::jthread fonts_;
  bool closing_ = false;
  bool show_pending_ = false;
  bool folder_made_ = false;
  QMetaObject::Connection focus_watch_;
  bool placed_ = false;  // the place and size are the user's (kept), not to be changed
  QLabel* watch_label_ = nullptr;
  FrameWatchOutput watch_out_{*this};
  std::unique_ptr<WatchRunner> watch_;
  DesktopNotifications* notifications_;
  TrayChoice tray_choice_;
  QPointer<QWidget> tray_question_;
  QSystemTrayIcon* tray_ = nullptr;
  std::unique_ptr<QMenu> tray_menu_;
  WatchStatus last_status_;  // what the watch told last, for the tray's menu
  bool in_tray_ = false;
  bool quitting_ = false;
};

}  // namespace mervane::gui
