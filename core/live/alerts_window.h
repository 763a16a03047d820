// "Alerts", the small window of the File menu that shows and edits the alert settings of
// mervane.cfg (live_settings.h): the minutes before a release (0 turns alerts off), the lowest
// impact alerted and the currencies (blank: those of the Build window's pairs). The impact and
// currencies choose the events of the news-guard file as well.
//
// open() reads the folder's settings (a value the file holds that cannot be used shows its
// default, and OK writes the default). Typed values are checked as they are typed: a refused
// one is a warning that changes nothing. OK (or Enter) writes the three settings and closes
// (Completed); a failure to write is the stop message "Create(mervane.cfg) - " + error text and
// leaves the window open. Cancel, Esc and the close box close it with nothing written.
//
// Threading: one thread at a time, as every window model.
#pragma once

#include <string>
#include <vector>

#include "core/app/window_base.h"
#include "core/model/session.h"

namespace mervane {

constexpr std::string_view kAlertsWindowTitle = "Alerts";

enum class AlertsControl : int { MINUTES = 1, IMPACT, CURRENCIES, OK, CANCEL };

class AlertsWindow final : public WindowModelBase {
 public:
  AlertsWindow(Session& session, Reporter& reporter)
      : WindowModelBase(reporter), session_(session) {}

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return std::string(kAlertsWindowTitle); }
  void open() override;
  std::string value(int control) const override;
  bool enabled(int /*control*/) const override { return !closed(); }
  std::vector<std::string> choices(int control) const override;
  int focus() const override { return number(AlertsControl::MINUTES); }

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return close(Response::Cancelled); }
  std::string store(int control, const Typed& value) override;

 private:
  Session& session_;
  std::string minutes_, impact_, currencies_;  // as mervane.cfg stores them
};

}  // namespace mervane
