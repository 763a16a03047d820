#include "gui/host/host.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <algorithm>

#include "gui/widgets/message_box.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {

Host::Host(Session& session, QMdiArea* area, QWidget* frame)
    : session_(session), area_(area), frame_(frame) {}

Host::~Host() {
  ending_ = true;
  for (auto& t : threads_) t->end();
  for (auto& a : asks_) answer(*a, kEndedAnswer);
  for (auto& [window, o] : open_)
    if (o.view) o.view->detach();
  for (auto& t : threads_) t->join();
}

bool Host::on_gui_thread() const {
  return QThread::currentThread() == thread();
}

void Host::start(WindowFactory factory) {
  Q_ASSERT(on_gui_thread());
  if (ending_) return;
  threads_.push_back(
      std::make_unique<ModelThread>(mailbox_, session_, std::move(factory), downloads_, views_));
  threads_.back()->start();
}

void Host::set_procedures(std::function<WindowFactory(Procedure)> procedures) {
  procedures_ = std::move(procedures);
}

bool Host::can_start(Procedure p) const {
  return procedures_ && procedures_(p) != nullptr;
}

void Host::start(Procedure p) {
  // The user starts a window: whatever close came before has been given up.
  closing_ = false;
  if (!procedures_) return;
  if (WindowFactory f = procedures_(p)) start(std::move(f));
}

void Host::close_all() {
  Q_ASSERT(on_gui_thread());
  closing_ = true;
  // The work in hand first, so that it ends before the close events that follow are served.
  for (auto& t : threads_) t->close();
  for (auto& [window, o] : open_) o.thread->post(window, ViewEvent::of(ViewEvent::Kind::Close));
}

void Host::start_procedure(Procedure p) {
  // A window's end opens no further window while the program closes (the Build run's list of
  // the history, the maintenance window's).
  if (closing_) return;
  start(p);
}

void Host::answer(Ask& a, int value) {
  if (a.answered) return;
  a.answered = true;
  a.thread->answer(value);
}

void Host::end_program(const std::string& why, int exit_code) {
  Q_ASSERT(on_gui_thread());
  if (ending_) return;
  ending_ = true;
  why_ = why;
  exit_code_ = exit_code;
  for (auto& t : threads_) t->end();
  for (auto& a : asks_) {
    answer(*a, kEndedAnswer);
    dismiss(*a);
  }
  asks_.clear();
  maybe_done();
}

void Host::maybe_done() {
  if (!threads_.empty()) return;
  if (ending_) {
    if (!ended_signalled_) {
      ended_signalled_ = true;
      Q_EMIT programEnded(exit_code_, qtext(why_));
    }
  } else {
    Q_EMIT allEnded();
  }
}

std::vector<WindowView*> Host::views() const {
  std::vector<WindowView*> v;
  for (const auto& [window, o] : open_)
    if (o.view) v.push_back(o.view);
  return v;
}

std::vector<MessageBox*> Host::message_boxes() const {
  std::vector<MessageBox*> v;
  for (const auto& a : asks_)
    if (a->box && !a->answered) v.push_back(a->box);
  return v;
}

void Host::open_view(ModelThread* t, int window, int parent, std::vector<ControlSpec> control_defs,
                     const WindowState& state, const ViewMaker& make) {
  Q_ASSERT(on_gui_thread());
  if (ending_) return;
  EventSink sink = [t, window](ViewEvent e) { t->post(window, std::move(e)); };
  WindowView* view = make ? make(std::move(control_defs), std::move(sink))
                          : new WindowView(std::move(control_defs), std::move(sink));
  // No input until the window's first event is served: a window that works at once (the
  // automatic Build run) takes none at all.
  view->set_busy(true);
  Open o{view, nullptr, t, parent};
  if (parent == 0 && area_) {
    QMdiSubWindow* sub = area_->addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    view->watch_close_of(sub);
    view->apply(state);
    o.sub = sub;
    sub->show();
    sub->adjustSize();
  } else {
    // A window opened from inside another: a window of its own over the frame, which blocks
    // only the window that opened it, stays above it (transient for the caller's window, which
    // window managers keep it over) and opens centred over it. It belongs to the frame, not to
    // the caller: a disabled caller would disable it too.
    const auto caller = open_.find(parent);
    const Open* by = caller != open_.end() && caller->second.view ? &caller->second : nullptr;
    view->setParent(frame_, Qt::Dialog);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->watch_close_of(view);
    view->apply(state);
    view->adjustSize();
    if (!view->move_to_kept_place()) centre_over(view, by);
    if (by) {
      view->createWinId();
      QWidget* over = by->view->window();
      if (view->windowHandle() && over->windowHandle())
        view->windowHandle()->setTransientParent(over->windowHandle());
    }
    view->show();
    if (by) by->view->block(true);
  }
  open_[window] = o;
  Q_EMIT viewOpened(view);
  // A window of a thread that was starting when the frame closed closes with the others.
  if (closing_ && parent == 0) t->post(window, ViewEvent::of(ViewEvent::Kind::Close));
}

void Host::centre_over(WindowView* view, const Open* by) const {
  // The caller's place on the screen: its MDI sub-window's, or its own window's; the frame's
  // when it has none.
  QWidget* place = by ? (by->sub ? static_cast<QWidget*>(by->sub) : by->view.data()) : frame_;
  if (!place) return;
  const QRect over(place->mapToGlobal(QPoint(0, 0)), place->size());
  // The window is placed by its outer frame, whose borders the window manager adds once it is
  // shown: those of the program's frame are the best guess.
  QMargins border;
  if (const QWidget* top = place->window(); top->isVisible()) {
    const QRect outer = top->frameGeometry(), inner = top->geometry();
    border = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                      outer.right() - inner.right(), outer.bottom() - inner.bottom());
  }
  QRect r(QPoint(0, 0), view->size().grownBy(border));
  r.moveCenter(over.center());
  // Wholly on the screen where the screen allows it (its title bar above all).
  if (const QScreen* screen = place->screen()) {
    const QRect area = screen->availableGeometry();
    r.moveRight(std::min(r.right(), area.right()));
    r.moveBottom(std::min(r.bottom(), area.bottom()));
    r.moveLeft(std::max(r.left(), area.left()));
    r.moveTop(std::max(r.top(), area.top()));
  }
  view->move(r.topLeft());
}

void Host::show_state(int window, const WindowState& state, bool busy) {
  Q_ASSERT(on_gui_thread());
  const auto it = open_.find(window);
  if (it == open_.end() || !it->second.view) return;
  it->second.view->apply(state);
  it->second.view->set_busy(busy);
  Q_EMIT viewUpdated(it->second.view);
}

void Host::close_view(int window) {
  Q_ASSERT(on_gui_thread());
  const auto it = open_.find(window);
  if (it == open_.end()) return;
  const Open o = it->second;
  open_.erase(it);
  const auto caller = open_.find(o.parent);
  if (caller != open_.end() && caller->second.view) caller->second.view->block(false);
  if (o.view) {
    o.view->detach();
    o.view->allow_close();
  }
  if (o.sub) {
    o.sub->close();
  } else if (o.view) {
    o.view->close();
  }
  Q_EMIT viewClosed();
}

void Host::dismiss(Ask& a) {
  if (a.box) a.box->deleteLater();
  if (a.dialog) a.dialog->deleteLater();
}

std::optional<QPointer<WindowView>> Host::begin_ask(const std::shared_ptr<Ask>& a, int parent) {
  Q_ASSERT(on_gui_thread());
  if (ending_) {
    answer(*a, kEndedAnswer);
    return std::nullopt;
  }
  const auto caller = open_.find(parent);
  QPointer<WindowView> view = caller != open_.end() ? caller->second.view : nullptr;
  if (view) view->block(true);
  asks_.push_back(a);
  return view;
}

void Host::end_ask(const std::shared_ptr<Ask>& a, const QPointer<WindowView>& view) {
  if (view) view->block(false);
  asks_.erase(std::remove(asks_.begin(), asks_.end(), a), asks_.end());
}

void Host::show_message(const std::shared_ptr<Ask>& a, int parent, const MessageFactory& make) {
  const auto view = begin_ask(a, parent);
  if (!view) return;
  MessageBox* box = make(frame_, [this, a, view = *view](int value) {
    answer(*a, value);
    end_ask(a, view);
  });
  a->box = box;
  box->show();
  Q_EMIT messageShown(box);
}

void Host::show_file_dialog(const std::shared_ptr<Ask>& a, int parent, const QString& title,
                            const QString& filter) {
  // Like a message box: over the frame, blocking only the window that asked.
  const auto view = begin_ask(a, parent);
  if (!view) return;
  auto* dialog =
      new QFileDialog(frame_, title, QString::fromStdString(session_.folder().string()), filter);
  dialog->setFileMode(QFileDialog::ExistingFiles);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QFileDialog::finished, this, [this, a, view = *view, dialog](int result) {
    if (a->answered) return;
    if (result == QDialog::Accepted)
      for (const QString& f : dialog->selectedFiles()) a->files.emplace_back(f.toStdString());
    answer(*a, 0);
    end_ask(a, view);
  });
  a->dialog = dialog;
  dialog->show();
  Q_EMIT fileDialogShown(dialog);
}

void Host::thread_finished(ModelThread* t, Outcome outcome, const std::string& why) {
  Q_ASSERT(on_gui_thread());
  const auto it =
      std::find_if(threads_.begin(), threads_.end(), [t](const auto& p) { return p.get() == t; });
  if (it == threads_.end()) return;
  (*it)->join();
  // Messages of the thread still up (its end came while one was shown) go with it.
  for (const auto& a : asks_)
    if (a->thread == t) {
      a->answered = true;
      dismiss(*a);
    }
  std::erase_if(asks_, [t](const auto& a) { return a->thread == t; });
  threads_.erase(it);
  // Views the thread left behind (it always closes them; this is the safety net).
  std::vector<int> left;
  for (const auto& [window, o] : open_)
    if (o.thread == t) left.push_back(window);
  for (int window : left) close_view(window);

  if (outcome == Outcome::Failed && !ending_) {
    // A fault of the program, not of the user's data: the window is gone; say why (in a box
    // that waits for nobody).
    Warning w;
    w.text = why;
    w.caption = "Mervane";
    w.icon = Icon::Stop;
    MessageBox::warning_box(w, frame_, {})->show();
  }
  if (outcome == Outcome::Ended && !ending_) {
    end_program(why);
    return;
  }
  if (outcome == Outcome::EndsProgram && !ending_) {
    end_program({}, 0);
    return;
  }
  maybe_done();
}

}  // namespace mervane::gui
