// APPFRAME: the frame window with the "&File" menu of the core's menu model, an MDI area with a
// background picture the program draws, and a status bar. Windows started from the menu are
// sub-windows of the MDI area, usable side by side; each menu choice starts a further one.
//
// Closing the frame (E&xit, Alt+F4, the close box) asks every window to close and closes when
// the last one has; a window busy on a long run finishes it first.
//
// Start-up: the frame shows once the Build window is in it with the state its model published
// after its first event, the frame sized to hold it, so that its first picture is the frame with
// the window as the user gets it (one layout, one paint). A window opened over the frame (the
// Initial setup), a message, or the end of every window shows it as well; a window that takes
// longer than kShowAtLatest finds the frame already up. While the frame is built and the Build
// window's model opens, the system's fonts load on a thread of their own.
#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <chrono>
#include <map>
#include <memory>
#include <thread>

#include "core/menu/main_frame.h"
#include "gui/widgets/window_host.h"

namespace mervane::gui {

// The MDI area with the frame's background picture, painted where windows leave it exposed.
class BackgroundArea : public QMdiArea {
 public:
  using QMdiArea::QMdiArea;

 protected:
  void paintEvent(QPaintEvent* e) override;
};

class AppFrame : public QMainWindow, private Starter {
 public:
  // The longest the frame waits for the Build window before it shows without it.
  static constexpr std::chrono::milliseconds kShowAtLatest{300};

  // procedures: the factories of the menu's windows (the program's own by default).
  explicit AppFrame(Session& session, std::function<WindowFactory(Procedure)> procedures = {},
                    QWidget* parent = nullptr);
  ~AppFrame() override;

  // MAIN: the request values and the Build window started; the frame shows when the window is
  // in it (see above).
  void open();

  // The frame made whole (shown, or opened): its status bar once the fonts are loaded.
  void setVisible(bool visible) override;

  Host& host() { return *host_; }
  QMdiArea* area() { return area_; }
  QAction* action(MainControl c) const;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void start(Procedure p) override;
  void view_opened(WindowView* view);
  void view_updated(WindowView* view);
  // A window larger than the client area makes the frame grow to show it (within the screen).
  void make_room_for(QMdiSubWindow* sub);
  void grow(QMdiSubWindow* sub, QSize need, QSize have);
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
};

}  // namespace mervane::gui
