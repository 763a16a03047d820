// Entry fields shown through a display picture: the validator is the core's picture parser, so a
// field refuses as the user types what the window would refuse, and lets through only texts that
// are, or can still become, a value of the picture.
#pragma once

#include <QLineEdit>
#include <QValidator>
#include <QWidget>
#include <optional>
#include <string>

#include "core/util/picture.h"

class QToolButton;

namespace mervane::gui {

class PictureValidator : public QValidator {
 public:
  // code: "d2", "n-3", "s99", ...; a code that is no picture takes any Windows-1252 text.
  explicit PictureValidator(const std::string& code, QObject* parent = nullptr);
  State validate(QString& input, int& pos) const override;

 private:
  std::string code_;
  std::optional<Picture> picture_;
};

// A line edit with its picture's validator; numbers are right-aligned.
class PictureEdit : public QLineEdit {
 public:
  explicit PictureEdit(const std::string& picture, QWidget* parent = nullptr);
};

// The date picker's button: a calendar sheet as its face.
QToolButton* calendar_button(QWidget* parent);

// A date entry with the date picker's button beside it. The button is the window's own control
// (its press goes to the model like any button's).
class DateField : public QWidget {
 public:
  DateField(const std::string& picture, QWidget* parent = nullptr);
  PictureEdit* edit() const { return edit_; }
  QToolButton* button() const { return button_; }

 private:
  PictureEdit* edit_;
  QToolButton* button_;
};

}  // namespace mervane::gui
