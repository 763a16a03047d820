#include "gui/frame/app_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>

#include "gui/frame/procedures.h"
#include "gui/widgets/pictures.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {

void BackgroundArea::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  if (cached_.size() != viewport()->size())
    cached_ = frame_background(viewport()->width(), viewport()->height());
  p.drawImage(0, 0, cached_);
}

AppFrame::AppFrame(Session& session, std::function<ModelFactory(Procedure)> procedures,
                   QWidget* parent)
    : QMainWindow(parent), session_(session), main_(session, *this) {
  const QString title = qtext(kAppFrameTitle);
  setWindowTitle(title);
  setAccessibleName(title);
  setObjectName(QStringLiteral("APPFRAME"));
  area_ = new BackgroundArea(this);
  area_->setObjectName(QStringLiteral("MDIAREA"));
  setCentralWidget(area_);
  statusBar();
  host_ = std::make_unique<Host>(session, area_, this);
  host_->set_procedures(procedures ? std::move(procedures) : procedure_factory);
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
}

AppFrame::~AppFrame() = default;

QAction* AppFrame::action(MainControl c) const {
  const auto it = actions_.find(c);
  return it == actions_.end() ? nullptr : it->second;
}

void AppFrame::open() {
  main_.open();
  show();
  // The icon (of the frame, its windows and boxes) is drawn once the frame is up: it is not
  // needed for the first picture.
  QTimer::singleShot(
      0, this, [] { QApplication::setWindowIcon(QIcon(QPixmap::fromImage(program_icon(64)))); });
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
