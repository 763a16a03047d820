#include "gui/frame/app_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>

#include "core/live/alerts.h"
#include "core/model/local_settings.h"
#include "gui/frame/procedures.h"
#include "gui/widgets/font_configuration.h"
#include "gui/widgets/message_box.h"
#include "gui/widgets/pictures.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {

void BackgroundArea::paintEvent(QPaintEvent* e) {
  QPainter p(viewport());
  paint_frame_background(p, viewport()->size(), e->region());
}

AppFrame::AppFrame(Session& session, std::function<WindowFactory(Procedure)> procedures,
                   QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      main_(session, *this),
      notifications_(new DesktopNotifications(this)),
      tray_choice_(session.folder()) {
  // The font configuration is read and every installed font listed before the first text can be
  // measured: the longest single step of a start. The font database is thread-safe, so that is
  // done on a thread of its own while the frame's widgets are made and, once open() is called,
  // while the Build window's model opens; the status bar, the first to measure a text, waits
  // for it (see complete()).
  fonts_ = std::jthread([] {
    wait_for_font_configuration();
    QFontDatabase::families();
  });
  const QString title = qtext(kAppFrameTitle);
  setWindowTitle(title);
  setAccessibleName(title);
  setObjectName(QStringLiteral("APPFRAME"));
  area_ = new BackgroundArea(this);
  area_->setObjectName(QStringLiteral("MDIAREA"));
  // A window larger than the client area (the Build window on a small screen) is scrolled to.
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(area_);
  host_ = std::make_unique<Host>(session, area_, this);
  host_->set_procedures(procedures ? std::move(procedures) : procedure_factory);
  host_->set_views(procedure_view);
  connect(host_.get(), &Host::viewOpened, this, &AppFrame::view_opened);
  connect(host_.get(), &Host::viewUpdated, this, &AppFrame::view_updated);
  connect(host_.get(), &Host::allEnded, this, [this] {
    if (closing_) close();
  });

  QMenu* file = menuBar()->addMenu(qtext(kFileMenu));
  file->setObjectName(QStringLiteral("FILE"));
  for (const MenuItem& m : file_menu()) {
    if (m.separator) {
      file->addSeparator();
      continue;
    }
    QString text = qtext(m.text);
    if (m.key.empty() && !m.shown.empty()) text += QLatin1Char('\t') + qtext(m.shown);
    QAction* a = file->addAction(text);
    a->setObjectName(qtext(m.use.substr(1)));
    if (!m.key.empty())
      a->setShortcut(QKeySequence::fromString(qtext(m.key), QKeySequence::PortableText));
    if (!m.status.empty()) a->setStatusTip(qtext(m.status));
    if (m.starts) a->setEnabled(host_->can_start(m.procedure));
    a->setCheckable(m.checkable);
    const MainControl c = m.control;
    connect(a, &QAction::triggered, this, [this, c] {
      if (main_.accepted(c)) quit();
      if (c == MainControl::FILEKEEPCURRENT) keep_current();
    });
    actions_[c] = a;
  }
  resize(QSize(1000, 700).boundedTo(
      screen() ? screen()->availableGeometry().size().shrunkBy(kDecoration) : QSize(1000, 700)));
  connect(host_.get(), &Host::messageShown, this, &AppFrame::show_when_opening);
  // A window in the hidden frame that asks something is answered in the frame.
  connect(host_.get(), &Host::messageShown, this, [this] {
    if (in_tray_) from_tray();
  });
  connect(host_.get(), &Host::allEnded, this, &AppFrame::show_when_opening);
  focus_watch_ = connect(qApp, &QApplication::focusChanged, this,
                         [this](QWidget*, QWidget* now) { scroll_to(now); });
  watch_ = std::make_unique<WatchRunner>(session_.folder(), watch_out_);
}

AppFrame::~AppFrame() {
  // The widgets going down move the focus while the frame is no longer whole.
  disconnect(focus_watch_);
  // The watch's thread tells the frame what it does: it ends (a cycle under way first) before
  // the frame goes.
  watch_.reset();
}

namespace {

QString utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void FrameWatchOutput::cycle(std::string_view) {}

void FrameWatchOutput::warning(std::string_view line) {
  const QString text = utf8(line);
  QMetaObject::invokeMethod(&frame_, [f = &frame_, text] { f->show_watch_message(text); },
                            Qt::QueuedConnection);
}

void FrameWatchOutput::alert(const Alert& a) {
  QMetaObject::invokeMethod(
      &frame_, [f = &frame_, a] { f->show_alert(a); }, Qt::QueuedConnection);
}

void FrameWatchOutput::status(const WatchStatus& s) {
  QMetaObject::invokeMethod(&frame_, [f = &frame_, s] { f->show_watch_status(s); },
                            Qt::QueuedConnection);
}

void AppFrame::set_watch_clock(WatchRunner::ClockFactory clock) {
  watch_ = std::make_unique<WatchRunner>(session_.folder(), watch_out_, std::move(clock));
}

QString AppFrame::watch_text() const {
  return watch_label_ ? watch_label_->text() : QString();
}

void AppFrame::keep_current() {
  if (QAction* a = action(MainControl::FILEKEEPCURRENT)) a->setChecked(main_.keep_current());
  if (main_.remembered().failed())
    statusBar()->showMessage(
        utf8("Create(mervane.cfg) - " + main_.remembered().message()));
  if (main_.keep_current()) {
    watch_->start();
    if (watch_label_) watch_label_->setText(QStringLiteral("Keeping this week current..."));
  } else {
    watch_->stop();
    if (watch_label_) watch_label_->clear();
  }
  if (watch_label_) watch_label_->setVisible(main_.keep_current());
}

void AppFrame::show_watch_status(const WatchStatus& s) {
  last_status_ = s;
  if (tray_menu_) fill_tray_menu_now();
  if (!watch_label_ || !main_.keep_current()) return;
  QString text = QStringLiteral("This week kept current");
  if (s.last_run != 0) text += QStringLiteral(": last run ") + utf8(local_time_text(s.last_run));
  if (s.next_run != 0)
    text += (s.last_run != 0 ? QStringLiteral(", next run ") : QStringLiteral(": next run ")) +
            utf8(local_time_text(s.next_run));
  watch_label_->setText(text);
  watch_label_->setAccessibleName(text);
  watch_label_->setToolTip(text);
  if (tray_) tray_->setToolTip(text);
}

void AppFrame::show_watch_message(const QString& text) {
  statusBar()->showMessage(text, 60000);
}

void AppFrame::show_alert(const Alert& a) {
  notifications_->notify(
      utf8(alert_summary(a)), utf8(alert_body(a)),
      [this](const QString& summary, const QString& body) { alert_fallback(summary, body); });
}

void AppFrame::alert_fallback(const QString& summary, const QString& body) {
  if (tray_ && tray_->isVisible() && QSystemTrayIcon::supportsMessages())
    tray_->showMessage(summary, body, QSystemTrayIcon::Information, 60000);
  else
    show_watch_message(summary + QStringLiteral(" - ") + body);
}

bool AppFrame::watching() const {
  return main_.keep_current() && watch_->running();
}

void AppFrame::ask_about_tray() {
  if (tray_question_) {
    tray_question_->raise();
    tray_question_->activateWindow();
    return;
  }
  MessageBox* box = MessageBox::warning_box(tray_question(), this, [this](int answer) {
    const std::optional<CloseAction> action = tray_choice_.answered(answer);
    if (tray_choice_.remembered().failed())
      statusBar()->showMessage(
          utf8("Create(mervane.cfg) - " + tray_choice_.remembered().message()));
    if (!action) return;
    // After the box has gone.
    QMetaObject::invokeMethod(
        this,
        [this, to_tray = *action == CloseAction::ToTray] { to_tray ? this->to_tray() : quit(); },
        Qt::QueuedConnection);
  });
  tray_question_ = box;
  box->show();
}

void AppFrame::to_tray() {
  if (!tray_) {
    tray_ = new QSystemTrayIcon(windowIcon(), this);
    tray_menu_ = std::make_unique<QMenu>();
    tray_menu_->setObjectName(QStringLiteral("TRAYMENU"));
    fill_tray_menu_now();
    tray_->setContextMenu(tray_menu_.get());
    tray_->setToolTip(watch_text().isEmpty() ? windowTitle() : watch_text());
    // A click on the icon opens the frame; the menu is on the other button.
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
      if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick) from_tray();
    });
  }
  keep_place();
  // The hidden frame is no last window closed: only "Quit" ends the program.
  QApplication::setQuitOnLastWindowClosed(false);
  in_tray_ = true;
  tray_->show();
  hide();
}

void AppFrame::fill_tray_menu_now() {
  fill_tray_menu(*tray_menu_, last_status_, [this] { from_tray(); }, [this] { quit(); });
}

void AppFrame::from_tray() {
  if (!in_tray_) return;
  in_tray_ = false;
  tray_->hide();
  QApplication::setQuitOnLastWindowClosed(true);
  show();
  raise();
  activateWindow();
}

void AppFrame::quit() {
  quitting_ = true;
  close();
}

QAction* AppFrame::action(MainControl c) const {
  const auto it = actions_.find(c);
  return it == actions_.end() ? nullptr : it->second;
}

void AppFrame::complete() {
  if (!fonts_.joinable()) return;
  fonts_.join();
  // Where the tables, settings and pages are: the user's own folder unless --dir named one.
  const QString folder = QDir::toNativeSeparators(QFile::decodeName(session_.folder().c_str()));
  auto* where = new QLabel(
      (folder_made_
           ? QStringLiteral("New working folder %1: save calendar pages there as \"truneout\"")
           : QStringLiteral("Working folder %1"))
          .arg(folder));
  where->setObjectName(QStringLiteral("FOLDER"));
  where->setAccessibleName(where->text());
  // A long path does not widen the frame: what the bar cannot show, the tip does.
  where->setToolTip(where->text());
  where->setMinimumWidth(1);
  statusBar()->addPermanentWidget(where);
  watch_label_ = new QLabel;
  watch_label_->setObjectName(QStringLiteral("KEEPCURRENT"));
  watch_label_->setAccessibleDescription(QStringLiteral("KEEPCURRENT"));
  watch_label_->setMinimumWidth(1);
  watch_label_->setVisible(false);
  statusBar()->addPermanentWidget(watch_label_);
}

void AppFrame::setVisible(bool visible) {
  if (visible) complete();
  QMainWindow::setVisible(visible);
}

void AppFrame::open() {
  placed_ = take_kept_place();
  if (!placed_) place_for(size());
  main_.open();
  complete();
  if (main_.keep_current()) keep_current();
  show_pending_ = true;
  // No Build window to wait for (the program has none to start).
  if (host_->running() == 0) show_when_opening();
  // The icon of the frame, its windows and boxes is drawn while the Build window's model opens
  // on its thread.
  QApplication::setWindowIcon(QIcon(QPixmap::fromImage(program_icon(64))));
  QTimer::singleShot(kShowAtLatest, this, &AppFrame::show_when_opening);
}

void AppFrame::show_when_opening() {
  if (!show_pending_) return;
  show_pending_ = false;
  show();
}

void AppFrame::view_opened(WindowView* view) {
  auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
  if (!show_pending_) {
    if (sub) make_room_for(sub);
    return;
  }
  // A window over the frame shows the frame now; one in it once it has its first state. The
  // frame is sized for a window in it at once: a window over it may show it first (the Initial
  // setup, at the first start).
  if (sub) {
    make_room_for(sub);
  } else {
    show_when_opening();
    // The window went up before the frame it belongs over: a window manager stacks the frame,
    // mapped later, above it. Shown again now, it stands over the frame, transient for it.
    if (view->isVisible()) {
      view->hide();
      view->show();
    }
    view->raise();
    view->activateWindow();
  }
}

void AppFrame::scroll_to(QWidget* focused) {
  QWidget* view = area_->viewport();
  if (!focused || !view->isAncestorOf(focused)) return;
  // The control and a little room around it, in the client area's coordinates.
  const QRect want =
      QRect(focused->mapTo(view, QPoint(0, 0)), focused->size()).adjusted(-8, -8, 8, 8);
  const QRect have = view->rect();
  auto by = [](int lo, int hi, int from, int to) {
    if (hi > to) return std::min(hi - to, lo - from);
    if (lo < from) return lo - from;
    return 0;
  };
  const int dx = by(want.left(), want.right(), have.left(), have.right());
  const int dy = by(want.top(), want.bottom(), have.top(), have.bottom());
  if (dx != 0) area_->horizontalScrollBar()->setValue(area_->horizontalScrollBar()->value() + dx);
  if (dy != 0) area_->verticalScrollBar()->setValue(area_->verticalScrollBar()->value() + dy);
}

void AppFrame::scroll_to_corner(QMdiSubWindow* sub) {
  const QSize have = area_->viewport()->size();
  if (sub->width() <= have.width() && sub->height() <= have.height()) return;
  // A window larger than the client area starts at its top left corner, where a window's
  // reading starts, not scrolled to its middle.
  sub->move(0, 0);
  area_->horizontalScrollBar()->setValue(area_->horizontalScrollBar()->minimum());
  area_->verticalScrollBar()->setValue(area_->verticalScrollBar()->minimum());
}

void AppFrame::view_updated(WindowView* view) {
  if (!show_pending_) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget())) {
    make_room_for(sub);
    show_when_opening();
  }
}

void AppFrame::make_room_for(QMdiSubWindow* sub) {
  // The size the user left the frame at stays until it is shown; it can grow afterwards.
  if (isMaximized() || (placed_ && !isVisible())) {
    scroll_to_corner(sub);
    return;
  }
  // The frame not yet shown has laid out nothing: its client area is what its layout gives it.
  if (!isVisible() && layout()) layout()->activate();
  const QSize need = sub->frameGeometry().size();
  const QSize have = isVisible() ? area_->viewport()->size() : area_->maximumViewportSize();
  if (need.width() > have.width() || need.height() > have.height()) grow(sub, need, have);
}

void AppFrame::grow(QMdiSubWindow* sub, QSize need, QSize have) {
  // The frame grows so that the window can be read whole: a frame not yet shown is placed for
  // its new size; a shown one grows as far as the screen allows.
  QSize want = size() + QSize(std::max(0, need.width() - have.width()),
                              std::max(0, need.height() - have.height()));
  if (!isVisible()) {
    place_for(want);
  } else {
    if (const QScreen* s = screen()) want = want.boundedTo(s->availableGeometry().size());
    resize(want);
  }
  // The area placed the window for its old size, partly outside it.
  if (sub->x() < 0 || sub->y() < 0) sub->move(std::max(0, sub->x()), std::max(0, sub->y()));
}

namespace {

constexpr std::string_view kFramePlaceSetting = "FRAMEPLACE";

}  // namespace

void AppFrame::place_for(QSize size) {
  const QScreen* s = screen();
  if (!s) {
    resize(size);
    return;
  }
  const QMargins decoration = frame_margins();
  const QRect avail = s->availableGeometry();
  const QSize outer = size.grownBy(decoration);
  if (outer.width() > avail.width() || outer.height() > avail.height()) {
    // Smaller than the window it is to hold: the whole screen, and the window scrolls. Sized as
    // the maximized frame will be, it is laid out once.
    move(avail.topLeft());
    resize(avail.size().shrunkBy(decoration));
    setWindowState(windowState() | Qt::WindowMaximized);
    return;
  }
  setWindowState(windowState() & ~Qt::WindowMaximized);
  resize(size);
  // The frame's position is that of its decoration's corner.
  move(avail.topLeft() +
       QPoint((avail.width() - outer.width()) / 2, (avail.height() - outer.height()) / 2));
}

QMargins AppFrame::frame_margins() {
  // The platform's window for the frame, made now rather than when it shows, knows the margins
  // a platform that draws them itself puts around it (offscreen); a window manager tells its own
  // once it has framed the window, so until then the usual desktops' stand for them, and a
  // platform without one (offscreen) has none.
  winId();
  const QRect outer = frameGeometry(), inner = geometry();
  const QMargins m(inner.left() - outer.left(), inner.top() - outer.top(),
                   outer.right() - inner.right(), outer.bottom() - inner.bottom());
  if (!m.isNull()) return m;
  return QGuiApplication::platformName() == QStringLiteral("offscreen") ? QMargins() : kDecoration;
}

bool AppFrame::take_kept_place() {
  const std::string kept = load_local_setting(session_.folder(), kFramePlaceSetting);
  if (kept.empty()) return false;
  // Qt's own record of a window's place: it brings a frame left on a screen no longer there
  // back onto one that is.
  return restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(kept)));
}

void AppFrame::keep_place() {
  // A place that cannot be kept (a folder that cannot be written) costs the next start its
  // place, nothing else: the program is ending.
  (void)save_local_setting(session_.folder(), kFramePlaceSetting,
                           saveGeometry().toBase64().toStdString());
}

void AppFrame::start(Procedure p) {
  // A window the user starts after a close that a window refused: the frame stays.
  closing_ = false;
  quitting_ = false;
  host_->start(p);
}

void AppFrame::closeEvent(QCloseEvent* e) {
  // The window system's close of the frame while the week is kept current: the tray may keep
  // the program running (a close already under way, E&xit and "Quit" end it).
  if (!quitting_ && !closing_ && !host_->ending() && isVisible()) {
    switch (tray_choice_.on_close(watching(), QSystemTrayIcon::isSystemTrayAvailable())) {
      case CloseAction::Ask:
        e->ignore();
        ask_about_tray();
        return;
      case CloseAction::ToTray:
        e->ignore();
        to_tray();
        return;
      case CloseAction::Close:
        break;
    }
  }
  if (host_->running() == 0 || host_->ending()) {
    if (isVisible()) keep_place();
    main_.close();
    e->accept();
    if (in_tray_) {
      // A hidden frame's close ends nothing by itself.
      in_tray_ = false;
      tray_->hide();
      QApplication::setQuitOnLastWindowClosed(true);
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return;
  }
  // The windows close first; the frame follows when the last one has.
  closing_ = true;
  main_.close_request();
  host_->close_all();
  e->ignore();
}

}  // namespace mervane::gui
