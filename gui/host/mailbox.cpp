#include "gui/host/mailbox.h"

namespace mervane::gui {

void Mailbox::post(std::function<void()> f) {
  QMetaObject::invokeMethod(receiver_, std::move(f), Qt::QueuedConnection);
}

void Mailbox::open(ModelThread* t, int window, int parent, std::vector<ControlSpec> control_defs,
                   WindowState state, ViewMaker make) {
  post([this, t, window, parent, control_defs = std::move(control_defs), state = std::move(state),
        make = std::move(make)]() mutable {
    gui_.open_view(t, window, parent, std::move(control_defs), state, make);
  });
}

void Mailbox::state(int window, WindowState state, bool busy) {
  post([this, window, state = std::move(state), busy] { gui_.show_state(window, state, busy); });
}

void Mailbox::close(int window) {
  post([this, window] { gui_.close_view(window); });
}

void Mailbox::finished(ModelThread* t, Outcome outcome, std::string why) {
  post([this, t, outcome, why = std::move(why)] { gui_.thread_finished(t, outcome, why); });
}

void Mailbox::start(Procedure p) {
  post([this, p] { gui_.start_procedure(p); });
}

void Mailbox::ask(std::shared_ptr<Ask> a, int parent, MessageFactory make) {
  post([this, a = std::move(a), parent, make = std::move(make)] {
    gui_.show_message(a, parent, make);
  });
}

void Mailbox::choose(std::shared_ptr<Ask> a, int parent, QString title, QString filter) {
  post([this, a = std::move(a), parent, title = std::move(title), filter = std::move(filter)] {
    gui_.show_file_dialog(a, parent, title, filter);
  });
}

}  // namespace mervane::gui
