// A small progress window over work that needs no input: it shows its caption, "Please
// wait............processing #" and a running count (?COUNT), does the work at its first event
// (OtherEvent::Opened, once it is shown) and answers close (Completed) when the work is done.
// Until then keys, buttons and the close box change nothing: the work cannot be left half done.
//
// The count goes to the window's display and on to the Progress it was given, as "COUNT".
// Threading and failures as in window_model.h: the work runs on the caller's thread; its stop
// messages go to the Reporter, and Abort leaves the event as Aborted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/window_base.h"
#include "core/runtime/progress.h"

namespace mervane {

class WorkWindow : public WindowModelBase {
 public:
  enum Control : int { COUNT = 1 };
  static constexpr std::string_view kText = "Please wait............processing #";
  static constexpr std::string_view kCounter = "COUNT";

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return caption_; }
  void open() override { count_ = 0; }
  std::string value(int control) const override;
  bool enabled(int control) const override { return control_def(control) != nullptr; }
  std::int64_t count() const { return count_; }

 protected:
  WorkWindow(std::string_view caption, Reporter& r, Progress& p)
      : WindowModelBase(r), caption_(caption), progress_(p) {}

  // The work, reporting its count to p.
  virtual void work(Progress& p) = 0;

  Reply on_accepted(int) override { return Reply::stay(); }
  Reply on_key(KeyPress) override { return Reply::stay(); }
  Reply on_close_request() override { return Reply::stay(); }
  Reply on_other_event(const OtherEvent& e) override;
  std::string store(int, const Typed&) override { return {}; }

 private:
  class Counter;

  std::string caption_;
  Progress& progress_;
  std::int64_t count_ = 0;
};

}  // namespace mervane
