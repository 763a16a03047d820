#include "gui/widgets/picture_edit.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

bool only_of(const QString& s, const QString& allowed) {
  for (const QChar c : s)
    if (!allowed.contains(c)) return false;
  return true;
}

// Whether a partly typed text can still become a value: what it lacks is appended from endings
// that complete every form the parser takes.
bool can_complete(const Picture& p, const std::string& typed) {
  static const char* const number_ends[] = {"0", "1", "00", "000", "0)", "1)", ".0", "000)"};
  static const char* const date_ends[] = {"1/1/2000", "/1/2000", "1/2000", "/2000",
                                          "2000",     "000",     "00",     "0",
                                          " 1, 2000", "1, 2000", ", 2000", " 2000"};
  static const char* const time_ends[] = {"0:00", ":00", "00", "0", "M", "0AM", "00AM", ":00AM"};
  const char* const* ends = number_ends;
  std::size_t n = std::size(number_ends);
  if (p.kind == PictureKind::Date) ends = date_ends, n = std::size(date_ends);
  if (p.kind == PictureKind::Time) ends = time_ends, n = std::size(time_ends);
  for (std::size_t i = 0; i < n; ++i)
    if (parse_value(p, typed + ends[i])) return true;
  if (p.kind == PictureKind::Date && p.style == 3) {
    // A month name being typed: "Ma" can become "Mar 7, 2009".
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (const char* m : months) {
      const std::string full(m);
      if (typed.size() <= full.size() &&
          QString::fromLatin1(full).startsWith(QString::fromLatin1(typed), Qt::CaseInsensitive))
        return true;
    }
  }
  return false;
}

}  // namespace

PictureValidator::PictureValidator(const std::string& code, QObject* parent)
    : QValidator(parent), code_(code), picture_(read_picture(code)) {}

QValidator::State PictureValidator::validate(QString& input, int&) const {
  if (!fits_cp1252(input)) return Invalid;
  const std::string typed = cptext(input);
  if (!picture_ || picture_->kind == PictureKind::Text) {
    if (!picture_) return Acceptable;
    return parse_text(code_, typed) ? Acceptable : Invalid;
  }
  if (parse_value(*picture_, typed)) return Acceptable;
  const QString trimmed = input.trimmed();
  if (trimmed.isEmpty()) return Intermediate;
  switch (picture_->kind) {
    case PictureKind::Number:
      if (!only_of(trimmed, QStringLiteral("0123456789+-.,() "))) return Invalid;
      break;
    case PictureKind::Date:
      if (picture_->style == 2 && !only_of(trimmed, QStringLiteral("0123456789/ "))) return Invalid;
      break;
    case PictureKind::Time:
      if (!only_of(trimmed.toUpper(), QStringLiteral("0123456789: APM"))) return Invalid;
      break;
    case PictureKind::Text:
      break;
  }
  return can_complete(*picture_, typed) ? Intermediate : Invalid;
}

PictureEdit::PictureEdit(const std::string& picture, QWidget* parent) : QLineEdit(parent) {
  setValidator(new PictureValidator(picture, this));
  const auto p = read_picture(picture);
  if (p && p->kind == PictureKind::Number) setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  if (p && p->kind == PictureKind::Text) setMaxLength(p->width);
}

QToolButton* calendar_button(QWidget* parent) {
  auto* b = new QToolButton(parent);
  // A calendar sheet: the character U+1F4C5 where the fonts have it.
  b->setText(QString::fromUcs4(U"\U0001F4C5"));
  b->setFocusPolicy(Qt::TabFocus);
  return b;
}

DateField::DateField(const std::string& picture, QWidget* parent)
    : QWidget(parent), edit_(new PictureEdit(picture, this)), button_(calendar_button(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(edit_, 1);
  row->addWidget(button_);
  setFocusProxy(edit_);
}

}  // namespace mervane::gui
