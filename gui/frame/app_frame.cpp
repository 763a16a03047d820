#include "gui/frame/app_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLayout>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

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
    : QMainWindow(parent), session_(session), main_(session, *this) {
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
    const MainControl c = m.control;
    connect(a, &QAction::triggered, this, [this, c] {
      if (main_.accepted(c)) close();
    });
    actions_[c] = a;
  }
  resize(1000, 700);
  connect(host_.get(), &Host::messageShown, this, &AppFrame::show_when_opening);
  connect(host_.get(), &Host::allEnded, this, &AppFrame::show_when_opening);
}

AppFrame::~AppFrame() = default;

QAction* AppFrame::action(MainControl c) const {
  const auto it = actions_.find(c);
  return it == actions_.end() ? nullptr : it->second;
}

void AppFrame::complete() {
  if (!fonts_.joinable()) return;
  fonts_.join();
  statusBar();
}

void AppFrame::setVisible(bool visible) {
  if (visible) complete();
  QMainWindow::setVisible(visible);
}

void AppFrame::open() {
  main_.open();
  complete();
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
  // A window over the frame shows the frame now; one in it once it has its first state.
  if (!sub) show_when_opening();
}

void AppFrame::view_updated(WindowView* view) {
  if (!show_pending_) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget())) {
    make_room_for(sub);
    show_when_opening();
  }
}

void AppFrame::make_room_for(QMdiSubWindow* sub) {
  // The frame not yet shown has laid out nothing: its client area is what its layout gives it.
  if (!isVisible() && layout()) layout()->activate();
  const QSize need = sub->frameGeometry().size();
  const QSize have = isVisible() ? area_->viewport()->size() : area_->maximumViewportSize();
  if (need.width() > have.width() || need.height() > have.height()) grow(sub, need, have);
}

void AppFrame::grow(QMdiSubWindow* sub, QSize need, QSize have) {
  // The frame grows as far as the screen allows, so that the window can be read whole.
  QSize want = size() + QSize(std::max(0, need.width() - have.width()),
                              std::max(0, need.height() - have.height()));
  if (const QScreen* s = screen()) want = want.boundedTo(s->availableGeometry().size());
  resize(want);
  // The area placed the window for its old size, partly outside it.
  if (sub->x() < 0 || sub->y() < 0) sub->move(std::max(0, sub->x()), std::max(0, sub->y()));
}

void AppFrame::start(Procedure p) {
  host_->start(p);
}

void AppFrame::closeEvent(QCloseEvent* e) {
  if (host_->running() == 0 || host_->ending()) {
    main_.close();
    e->accept();
    return;
  }
  // The windows close first; the frame follows when the last one has.
  closing_ = true;
  main_.close_request();
  host_->close_all();
  e->ignore();
}

}  // namespace mervane::gui
