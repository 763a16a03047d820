#include "core/app/work_window.h"

namespace mervane {

// Keeps the window's count and passes every report on.
class WorkWindow::Counter final : public Progress {
 public:
  Counter(Progress& next, std::int64_t& count) : next_(next), count_(count) {}
  void report(std::string_view counter, std::int64_t value) override {
    if (counter == kCounter) count_ = value;
    next_.report(counter, value);
  }
  void note(std::string_view text) override { next_.note(text); }

 private:
  Progress& next_;
  std::int64_t& count_;
};

const std::vector<ControlSpec>& WorkWindow::controls() const {
  static const std::vector<ControlSpec> kControls = [] {
    ControlList l(100);
    l.prompt(std::string(kText));
    l.add(COUNT, ControlKind::Display, "?COUNT", {}, "N12");
    return l.take();
  }();
  return kControls;
}

std::string WorkWindow::value(int control) const {
  return control == COUNT ? shown(control_def(control)->picture, static_cast<double>(count_))
                          : std::string();
}

Reply WorkWindow::on_other_event(const OtherEvent& e) {
  if (e.kind != OtherEvent::Kind::Opened) return Reply::stay();
  Counter counter(progress_, count_);
  work(counter);
  return close(Response::Completed);
}

}  // namespace mervane
