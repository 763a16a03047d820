#include "gui/widgets/message_box.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "gui/widgets/qt_text.h"

namespace mervane::gui {

MessageBox::MessageBox(QWidget* parent, Answered answered)
    : QMessageBox(parent), answered_(std::move(answered)) {
  setWindowModality(Qt::NonModal);
  setAttribute(Qt::WA_DeleteOnClose);
  connect(this, &QMessageBox::buttonClicked, this, [this](QAbstractButton* b) {
    if (done_) return;
    for (const auto& [button, answer] : answers_) {
      if (button != b) continue;
      done_ = true;
      if (answered_) answered_(answer);
    }
  });
}

void MessageBox::add(QMessageBox::StandardButton b, int answer, bool is_default) {
  QPushButton* button = addButton(b);
  answers_.append({button, answer});
  if (is_default) setDefaultButton(button);
}

void MessageBox::finish_setup(const QString& caption, const QString& text, QMessageBox::Icon icon) {
  setWindowTitle(caption);
  setText(text);
  setIcon(icon);
  setAccessibleName(caption);
  setAccessibleDescription(text);
  setEscapeButton(escape_);
}

MessageBox* MessageBox::stop_box(const QString& text, QWidget* parent, Answered answered) {
  auto* box = new MessageBox(parent, std::move(answered));
  box->add(QMessageBox::Abort, kAbortAnswer, true);
  box->add(QMessageBox::Ignore, kIgnoreAnswer, false);
  box->finish_setup(QStringLiteral("Stop"), text, QMessageBox::Critical);
  return box;
}

MessageBox* MessageBox::warning_box(const mervane::Warning& w, QWidget* parent, Answered answered) {
  auto* box = new MessageBox(parent, std::move(answered));
  // In the order Windows shows them.
  const struct {
    int ours;
    QMessageBox::StandardButton qt;
  } buttons[] = {{kOkButton, QMessageBox::Ok},
                 {kYesButton, QMessageBox::Yes},
                 {kNoButton, QMessageBox::No},
                 {kRetryButton, QMessageBox::Retry},
                 {kCancelButton, QMessageBox::Cancel}};
  int shown = 0;
  for (const auto& b : buttons) {
    if ((w.buttons & b.ours) == 0) continue;
    box->add(b.qt, b.ours, w.default_button == b.ours);
    ++shown;
  }
  if (shown == 0) box->add(QMessageBox::Ok, kOkButton, true);
  if (w.buttons & kCancelButton) {
    box->escape_ = box->button_for(kCancelButton);
  } else if (w.buttons == kOkButton || shown == 0) {
    box->escape_ = box->button_for(kOkButton);
  }
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (w.icon) {
    case mervane::Icon::Information:
      icon = QMessageBox::Information;
      break;
    case mervane::Icon::Question:
      icon = QMessageBox::Question;
      break;
    case mervane::Icon::Exclamation:
      icon = QMessageBox::Warning;
      break;
    case mervane::Icon::Stop:
      icon = QMessageBox::Critical;
      break;
    case mervane::Icon::None:
      break;
  }
  box->finish_setup(qtext(w.caption), qtext(w.text), icon);
  return box;
}

QAbstractButton* MessageBox::button_for(int answer) const {
  for (const auto& [button, a] : answers_)
    if (a == answer) return button;
  return nullptr;
}

void MessageBox::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && !escape_) {
    e->accept();
    return;
  }
  QMessageBox::keyPressEvent(e);
}

void MessageBox::closeEvent(QCloseEvent* e) {
  if (!done_ && !escape_) {
    e->ignore();
    return;
  }
  if (!done_ && escape_) {
    escape_->click();
  }
  QMessageBox::closeEvent(e);
}

}  // namespace mervane::gui
