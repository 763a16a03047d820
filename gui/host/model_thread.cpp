#include "gui/host/model_thread.h"

#include "gui/widgets/message_box.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

// Progress redraws at most this often: about 20 a second.
constexpr auto kPublishGap = std::chrono::milliseconds(50);
constexpr const char* kEndingText = "The program is ending";
constexpr const char* kClosingText = "The program is closing";

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

ModelThread::ModelThread(Mailbox& mailbox, Session& session, WindowFactory factory,
                         DownloaderFactory downloads, ViewChooser views)
    : mailbox_(mailbox),
      session_(session),
      factory_(std::move(factory)),
      downloads_(std::move(downloads)),
      views_(std::move(views)) {}

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
    queue_.push_back({window, std::move(e), next_seq_++});
  }
  cv_.notify_all();
}

void ModelThread::answer(int a) {
  {
    std::lock_guard lock(mu_);
    answer_ = a;
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

void ModelThread::close() {
  {
    std::lock_guard lock(mu_);
    close_before_ = next_seq_;
  }
  cv_.notify_all();
}

bool ModelThread::work_to_end() const {
  return in_event_ && serving_ < close_before_;
}

void ModelThread::check_ending() {
  if (ending_) throw Aborted(kEndingText);
  if (work_to_end()) {
    closed_by_frame_ = true;
    throw Aborted(kClosingText);
  }
}

void ModelThread::main() {
  id_ = std::this_thread::get_id();
  Outcome outcome = Outcome::Closed;
  std::string why;
  try {
    const std::unique_ptr<Downloader> downloader =
        downloads_ ? downloads_() : std::make_unique<CurlDownloader>();
    const WindowServices services{session_, *this, *this, *this, *downloader};
    std::unique_ptr<WindowModel> model = factory_(services);
    if (model) {
      run(*model);
      if (model->ends_program()) outcome = Outcome::EndsProgram;
    }
  } catch (const Aborted& e) {
    // Work the frame's close ended leaves as a window that closed: the program ends as it does
    // when the last window closes, with no message.
    outcome = closed_by_frame_ && !ending_ ? Outcome::Closed : Outcome::Ended;
    if (outcome == Outcome::Ended) why = e.what();
  } catch (const std::exception& e) {
    outcome = Outcome::Failed;
    why = e.what();
  }
  mailbox_.finished(this, outcome, why);
}

Response ModelThread::run(WindowModel& m) {
  Q_ASSERT(on_model_thread());
  check_ending();
  m.open();
  // A window that closed while opening (a form asked to delete a record) is never shown.
  if (m.closed()) return m.response();
  const int window = mailbox_.new_window();
  const int parent = shown_.empty() ? 0 : shown_.back().window;
  shown_.push_back({window, &m});
  // However the window ends (closed, or unwound by Abort), its view goes and the window that
  // opened it takes input again.
  struct Leave {
    ModelThread& t;
    int window;
    bool outer_event;
    std::uint64_t outer_seq;
    ~Leave() {
      t.shown_.pop_back();
      t.in_event_ = outer_event;
      t.serving_ = outer_seq;
      {
        std::lock_guard lock(t.mu_);
        std::erase_if(t.queue_, [this](const Queued& q) { return q.window == window; });
      }
      t.mailbox_.close(window);
    }
  } leave{*this, window, in_event_, serving_};
  mailbox_.open(this, window, parent, m.controls(), m.state(), views_ ? views_(m) : ViewMaker{});

  auto serve = [&](std::uint64_t seq, auto&& handle) {
    in_event_ = true;
    serving_ = seq;
    last_publish_ = std::chrono::steady_clock::now();
    const Reply r = handle();
    in_event_ = false;
    // A window that has closed takes no more input while its view goes.
    publish({window, &m}, r.close || m.closed());
    return r;
  };
  OtherEvent opened;
  opened.kind = OtherEvent::Kind::Opened;
  std::uint64_t opened_seq = 0;
  {
    std::lock_guard lock(mu_);
    opened_seq = next_seq_++;
  }
  Reply r = serve(opened_seq, [&] { return m.other_event(opened); });
  while (!r.close && !m.closed()) {
    const Queued q = next_event(window, m.wake_after_ms());
    r = serve(q.seq, [&] { return dispatch(m, q.event); });
  }
  return r.close ? r.response : m.response();
}

void ModelThread::start(Procedure p) {
  Q_ASSERT(on_model_thread());
  mailbox_.start(p);
}

ModelThread::Queued ModelThread::next_event(int window, int wake_ms) {
  const auto wake = std::chrono::steady_clock::now() + std::chrono::milliseconds(wake_ms);
  std::unique_lock lock(mu_);
  for (;;) {
    if (ending_) throw Aborted(kEndingText);
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
      if (it->window != window) continue;
      Queued q = std::move(*it);
      queue_.erase(it);
      return q;
    }
    if (wake_ms <= 0) {
      cv_.wait(lock);
    } else if (cv_.wait_until(lock, wake) == std::cv_status::timeout) {
      Queued q{window, ViewEvent::of(ViewEvent::Kind::Other), next_seq_++};
      q.event.other.kind = OtherEvent::Kind::Timer;
      return q;
    }
  }
}

void ModelThread::publish(const Shown& s, bool busy) {
  mailbox_.state(s.window, s.model->state(), busy);
}

void ModelThread::report(std::string_view, std::int64_t) {
  Q_ASSERT(on_model_thread());
  check_ending();
  if (!in_event_ || shown_.empty()) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_publish_ < kPublishGap) return;
  last_publish_ = now;
  publish(shown_.back(), true);
}

int ModelThread::ask(MessageFactory make) {
  auto a = std::make_shared<Ask>();
  return wait_answer(
      a, [&] { mailbox_.ask(a, shown_.empty() ? 0 : shown_.back().window, std::move(make)); });
}

std::vector<std::filesystem::path> ModelThread::choose_files(std::string_view title,
                                                             std::string_view filter) {
  auto a = std::make_shared<Ask>();
  wait_answer(a, [&] {
    mailbox_.choose(a, shown_.empty() ? 0 : shown_.back().window, qtext(title), qtext(filter));
  });
  return std::move(a->files);
}

int ModelThread::wait_answer(const std::shared_ptr<Ask>& a, const std::function<void()>& post) {
  Q_ASSERT(on_model_thread());
  check_ending();
  a->thread = this;
  {
    std::lock_guard lock(mu_);
    answer_.reset();
  }
  post();
  std::unique_lock lock(mu_);
  cv_.wait(lock, [this] { return answer_.has_value() || ending_ || work_to_end(); });
  check_ending();
  if (*answer_ == kEndedAnswer) throw Aborted(kEndingText);
  return *answer_;
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

}  // namespace mervane::gui
