// The stop box and the standard warnings as message boxes that block nothing but the window
// that asked (they are not modal for Qt; the host disables the calling window). The answer
// arrives through the callback once, with the number of the button pressed.
#pragma once

#include <QMessageBox>
#include <functional>

#include "core/runtime/reporter.h"

namespace mervane::gui {

// Answers of the stop box.
constexpr int kAbortAnswer = 0;
constexpr int kIgnoreAnswer = 1;

class MessageBox : public QMessageBox {
 public:
  using Answered = std::function<void(int)>;

  // Caption "Stop", the stop icon, Abort (the default) and Ignore; answers kAbortAnswer or
  // kIgnoreAnswer. Esc and the close box do nothing: the user must choose.
  static MessageBox* stop_box(const QString& text, QWidget* parent, Answered answered);
  // A warning with its caption, icon, buttons and default button; answers the button's number
  // (kOkButton, kYesButton, ...). Esc answers Cancel where the box has it, OK where OK is its
  // only button, and does nothing otherwise.
  static MessageBox* warning_box(const mervane::Warning& w, QWidget* parent, Answered answered);

  // The button that carries an answer (for tests and automation).
  QAbstractButton* button_for(int answer) const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  MessageBox(QWidget* parent, Answered answered);
  void add(QMessageBox::StandardButton b, int answer, bool is_default);
  void finish_setup(const QString& caption, const QString& text, QMessageBox::Icon icon);

  Answered answered_;
  QList<QPair<QAbstractButton*, int>> answers_;
  QAbstractButton* escape_ = nullptr;
  bool done_ = false;
};

}  // namespace mervane::gui
