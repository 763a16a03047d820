#include "gui/widgets/window_host.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <future>

#include "gui/widgets/message_box.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

std::atomic<int> next_window{1};
// Progress redraws at most this often: about 20 a second.
constexpr auto kPublishGap = std::chrono::milliseconds(50);
// How often a thread waiting for a message's answer looks whether the program is ending.
constexpr auto kAskPoll = std::chrono::milliseconds(50);
// The answer of a message that the program's end took away.
constexpr int kEndedAnswer = -1;
constexpr const char* kEndingText = "The program is ending";

Reply dispatch(WindowModel& m, const ViewEvent& e) {
  switch (e.kind) {
    case ViewEvent::Kind::Accepted:
      return m.accepted(e.control);
    case ViewEvent::Kind::Selecting:
      return m.selecting(e.control);
    case ViewEvent::Kind::Key:
      return m.key(e.key);
    case ViewEvent::Kind::Close:
      return m.close_request();
    case ViewEvent::Kind::Other:
      return m.other_event(e.other);
    case ViewEvent::Kind::Type:
      return m.type(e.control, e.text);
  }
  return Reply::stay();
}

}  // namespace

struct Host::Ask {
  std::promise<int> promise;
  bool done = false;
  QPointer<MessageBox> box;
  QPointer<QWidget> dialog;                  // a file dialog
  std::vector<std::filesystem::path> files;  // what it chose, set before the answer
  void answer(int a) {
    if (done) return;
    done = true;
    promise.set_value(a);
  }
};

// ---------------------------------------------------------------- Host (GUI thread)

Host::Host(Session& session, QMdiArea* area, QWidget* frame)
    : session_(session), area_(area), frame_(frame) {}

Host::~Host() {
  ending_ = true;
  for (auto& t : threads_) t->end();
  for (auto& a : asks_) a->answer(kEndedAnswer);
  for (auto& [window, o] : open_)
    if (o.view) o.view->detach();
  for (auto& t : threads_) t->join();
}

void Host::start(WindowFactory factory) {
  if (ending_) return;
  threads_.push_back(std::make_unique<ModelThread>(*this, session_, std::move(factory)));
  threads_.back()->start();
}

void Host::set_procedures(std::function<WindowFactory(Procedure)> procedures) {
  procedures_ = std::move(procedures);
}

bool Host::can_start(Procedure p) const {
  return procedures_ && procedures_(p) != nullptr;
}

void Host::start(Procedure p) {
  if (!procedures_) return;
  if (WindowFactory f = procedures_(p)) start(std::move(f));
}

void Host::close_all() {
  for (auto& [window, o] : open_) {
    ViewEvent e;
    e.kind = ViewEvent::Kind::Close;
    o.thread->post(window, e);
  }
}

void Host::end_program(const std::string& why, int exit_code) {
  if (ending_) return;
  ending_ = true;
  why_ = why;
  exit_code_ = exit_code;
  for (auto& t : threads_) t->end();
  for (auto& a : asks_) {
    a->answer(kEndedAnswer);
    if (a->box) a->box->deleteLater();
    if (a->dialog) a->dialog->deleteLater();
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
    if (a->box && !a->done) v.push_back(a->box);
  return v;
}

void Host::post_open(ModelThread* t, int window, int parent, std::vector<ControlSpec> control_defs,
                     WindowState state, ViewMaker make) {
  QMetaObject::invokeMethod(
      this,
      [this, t, window, parent, control_defs = std::move(control_defs), state = std::move(state),
       make = std::move(make)]() mutable {
        open_view(t, window, parent, std::move(control_defs), state, make);
      },
      Qt::QueuedConnection);
}

void Host::post_state(int window, WindowState state, bool busy) {
  QMetaObject::invokeMethod(
      this,
      [this, window, state = std::move(state), busy] {
        const auto it = open_.find(window);
        if (it == open_.end() || !it->second.view) return;
        it->second.view->apply(state);
        it->second.view->set_busy(busy);
        Q_EMIT viewUpdated(it->second.view);
      },
      Qt::QueuedConnection);
}

void Host::post_close(int window) {
  QMetaObject::invokeMethod(
      this, [this, window] { close_view(window); }, Qt::QueuedConnection);
}

void Host::post_finished(ModelThread* t, Outcome outcome, std::string why) {
  QMetaObject::invokeMethod(
      this, [this, t, outcome, why = std::move(why)] { finished(t, outcome, why); },
      Qt::QueuedConnection);
}

void Host::post_start(Procedure p) {
  QMetaObject::invokeMethod(
      this, [this, p] { start(p); }, Qt::QueuedConnection);
}

void Host::post_ask(std::shared_ptr<Ask> a, int parent, MessageFactory make) {
  QMetaObject::invokeMethod(
      this,
      [this, a = std::move(a), parent, make = std::move(make)] { show_message(a, parent, make); },
      Qt::QueuedConnection);
}

void Host::open_view(ModelThread* t, int window, int parent, std::vector<ControlSpec> control_defs,
                     const WindowState& state, const ViewMaker& make) {
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
    // only the window that opened it.
    view->setParent(frame_, Qt::Dialog);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->watch_close_of(view);
    view->apply(state);
    view->adjustSize();
    if (!view->move_to_kept_place() && frame_) {
      const QRect f = frame_->geometry();
      view->move(f.center() - QPoint(view->width() / 2, view->height() / 2));
    }
    view->show();
    const auto caller = open_.find(parent);
    if (caller != open_.end() && caller->second.view) caller->second.view->block(true);
  }
  open_[window] = o;
  Q_EMIT viewOpened(view);
}

void Host::close_view(int window) {
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

std::optional<QPointer<WindowView>> Host::begin_ask(const std::shared_ptr<Ask>& a, int parent) {
  if (ending_) {
    a->answer(kEndedAnswer);
    return std::nullopt;
  }
  const auto caller = open_.find(parent);
  QPointer<WindowView> view = caller != open_.end() ? caller->second.view : nullptr;
  if (view) view->block(true);
  return view;
}

void Host::end_ask(const std::shared_ptr<Ask>& a, const QPointer<WindowView>& view) {
  if (view) view->block(false);
  asks_.erase(std::remove(asks_.begin(), asks_.end(), a), asks_.end());
}

void Host::show_message(const std::shared_ptr<Ask>& a, int parent, const MessageFactory& make) {
  const auto view = begin_ask(a, parent);
  if (!view) return;
  MessageBox* box = make(frame_, [this, a, view = *view](int answer) {
    a->answer(answer);
    end_ask(a, view);
  });
  a->box = box;
  asks_.push_back(a);
  box->show();
  Q_EMIT messageShown(box);
}

void Host::post_choose(std::shared_ptr<Ask> a, int parent, QString title, QString filter) {
  QMetaObject::invokeMethod(
      this,
      [this, a = std::move(a), parent, title = std::move(title), filter = std::move(filter)] {
        show_file_dialog(a, parent, title, filter);
      },
      Qt::QueuedConnection);
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
    if (result == QDialog::Accepted)
      for (const QString& f : dialog->selectedFiles()) a->files.emplace_back(f.toStdString());
    a->answer(0);
    end_ask(a, view);
  });
  a->dialog = dialog;
  asks_.push_back(a);
  dialog->show();
  Q_EMIT fileDialogShown(dialog);
}

void Host::finished(ModelThread* t, Outcome outcome, const std::string& why) {
  const auto it =
      std::find_if(threads_.begin(), threads_.end(), [t](const auto& p) { return p.get() == t; });
  if (it == threads_.end()) return;
  (*it)->join();
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

// ---------------------------------------------------------------- ModelThread

ModelThread::ModelThread(Host& host, Session& session, WindowFactory factory)
    : host_(host), session_(session), factory_(std::move(factory)) {}

ModelThread::~ModelThread() {
  end();
  join();
}

void ModelThread::start() {
  thread_ = std::thread([this] { main(); });
}

void ModelThread::join() {
  if (thread_.joinable()) thread_.join();
}

void ModelThread::post(int window, ViewEvent e) {
  {
    std::lock_guard lock(mu_);
    queue_.emplace_back(window, std::move(e));
  }
  cv_.notify_all();
}

void ModelThread::end() {
  {
    std::lock_guard lock(mu_);
    ending_ = true;
  }
  cv_.notify_all();
}

void ModelThread::check_ending() const {
  if (ending_) throw Aborted(kEndingText);
}

void ModelThread::main() {
  Host::Outcome outcome = Host::Outcome::Closed;
  std::string why;
  try {
    const std::unique_ptr<Downloader> downloader =
        host_.downloads_ ? host_.downloads_() : std::make_unique<CurlDownloader>();
    const WindowServices services{session_, *this, *this, *this, *downloader};
    std::unique_ptr<WindowModel> model = factory_(services);
    if (model) {
      run(*model);
      if (model->ends_program()) outcome = Host::Outcome::EndsProgram;
    }
  } catch (const Aborted& e) {
    outcome = Host::Outcome::Ended;
    why = e.what();
  } catch (const std::exception& e) {
    outcome = Host::Outcome::Failed;
    why = e.what();
  }
  host_.post_finished(this, outcome, why);
}

Response ModelThread::run(WindowModel& m) {
  check_ending();
  m.open();
  // A window that closed while opening (a form asked to delete a record) is never shown.
  if (m.closed()) return m.response();
  const int window = next_window++;
  const int parent = shown_.empty() ? 0 : shown_.back().window;
  shown_.push_back({window, &m});
  // However the window ends (closed, or unwound by Abort), its view goes and the window that
  // opened it takes input again.
  struct Leave {
    ModelThread& t;
    int window;
    bool outer_event;
    ~Leave() {
      t.shown_.pop_back();
      t.in_event_ = outer_event;
      {
        std::lock_guard lock(t.mu_);
        std::erase_if(t.queue_, [this](const auto& e) { return e.first == window; });
      }
      t.host_.post_close(window);
    }
  } leave{*this, window, in_event_};
  host_.post_open(this, window, parent, m.controls(), m.state(),
                  host_.views_ ? host_.views_(m) : ViewMaker{});

  auto serve = [&](auto&& handle) {
    in_event_ = true;
    busy_shown_ = false;
    last_publish_ = std::chrono::steady_clock::now();
    const Reply r = handle();
    in_event_ = false;
    // A window that has closed takes no more input while its view goes.
    publish({window, &m}, r.close || m.closed());
    return r;
  };
  OtherEvent opened;
  opened.kind = OtherEvent::Kind::Opened;
  Reply r = serve([&] { return m.other_event(opened); });
  while (!r.close && !m.closed()) {
    const ViewEvent e = next_event(window, m.wake_after_ms());
    r = serve([&] { return dispatch(m, e); });
  }
  return r.close ? r.response : m.response();
}

ViewEvent ModelThread::next_event(int window, int wake_ms) {
  const auto wake = std::chrono::steady_clock::now() + std::chrono::milliseconds(wake_ms);
  std::unique_lock lock(mu_);
  for (;;) {
    if (ending_) throw Aborted(kEndingText);
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
      if (it->first != window) continue;
      ViewEvent e = std::move(it->second);
      queue_.erase(it);
      return e;
    }
    if (wake_ms <= 0) {
      cv_.wait(lock);
    } else if (cv_.wait_until(lock, wake) == std::cv_status::timeout) {
      ViewEvent e = ViewEvent::of(ViewEvent::Kind::Other);
      e.other.kind = OtherEvent::Kind::Timer;
      return e;
    }
  }
}

void ModelThread::publish(const Shown& s, bool busy) {
  host_.post_state(s.window, s.model->state(), busy);
}

void ModelThread::report(std::string_view, std::int64_t) {
  check_ending();
  if (!in_event_ || shown_.empty()) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_publish_ < kPublishGap) return;
  last_publish_ = now;
  busy_shown_ = true;
  publish(shown_.back(), true);
}

int ModelThread::ask(MessageFactory make) {
  check_ending();
  auto a = std::make_shared<Host::Ask>();
  std::future<int> answer = a->promise.get_future();
  host_.post_ask(a, shown_.empty() ? 0 : shown_.back().window, std::move(make));
  while (answer.wait_for(kAskPoll) != std::future_status::ready)
    if (ending_) throw Aborted(kEndingText);
  const int result = answer.get();
  if (result == kEndedAnswer) throw Aborted(kEndingText);
  return result;
}

std::vector<std::filesystem::path> ModelThread::choose_files(std::string_view title,
                                                             std::string_view filter) {
  check_ending();
  auto a = std::make_shared<Host::Ask>();
  std::future<int> answer = a->promise.get_future();
  host_.post_choose(a, shown_.empty() ? 0 : shown_.back().window, qtext(title), qtext(filter));
  while (answer.wait_for(kAskPoll) != std::future_status::ready)
    if (ending_) throw Aborted(kEndingText);
  if (answer.get() == kEndedAnswer) throw Aborted(kEndingText);
  return std::move(a->files);
}

Answer ModelThread::stop(std::string_view text) {
  const QString t = qtext(text);
  const int a = ask([t](QWidget* parent, std::function<void(int)> done) {
    return MessageBox::stop_box(t, parent, std::move(done));
  });
  return a == kIgnoreAnswer ? Answer::Ignore : Answer::Abort;
}

int ModelThread::warning(const Warning& w) {
  return ask([w](QWidget* parent, std::function<void(int)> done) {
    return MessageBox::warning_box(w, parent, std::move(done));
  });
}

void ModelThread::start(Procedure p) {
  host_.post_start(p);
}

}  // namespace mervane::gui
