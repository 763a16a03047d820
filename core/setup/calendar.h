// CALENDAR, the date picker: a month sheet of day buttons from which the user picks a date, and
// WINGDINGCHART, the window that shows the Wingdings characters with their codes. Both are
// window models opened from inside another window, on its thread.
//
// The picker starts on the session's GLO:CDATE (marked by a frame behind its day button; today
// has a frame of its own), allows only the weekdays whose character in GLO:CMASK is not "0", and
// leaves the picked date in GLO:CDATE (after Cancel, Esc or the close box the date this call
// found there, however far the user browsed and whatever another window's picker left there
// meanwhile). However it closes, GLO:CMASK is set back to "1111111", so a mask applies to
// one call only. A GLO:CDATE of 0 (a blank date field) starts on today's month with no date
// marked.
//
// Threading: one thread at a time, as every window model; the session values are read and
// written under the session's lock.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/app/window_base.h"
#include "core/model/session.h"

namespace mervane {

// Controls of the picker. The day buttons B11 ... B67 run row by row (6 rows of Monday to
// Sunday); BOX frames mark GLO:CDATE and BAX frames today, one of each behind every day button.
enum class CalendarControl : int {
  CTITLE = 1,
  BLY,  // previous year
  BLM,  // previous month
  BNM,  // next month
  BNY,  // next year
  HEAD_MON,
  HEAD_SUN = HEAD_MON + 6,
  B11,
  B67 = B11 + 41,
  TODAY,
  CANCEL,
  NODAYS,
  BOX11,
  BOX67 = BOX11 + 41,
  BAX11,
  BAX67 = BAX11 + 41,
};

// The day button of row 1-6 and column 1-7 (Monday to Sunday).
constexpr int day_button(int row, int column) {
  return static_cast<int>(CalendarControl::B11) + (row - 1) * 7 + (column - 1);
}

class Calendar final : public WindowModelBase {
 public:
  static constexpr std::string_view kTitle = "  Select date";

  explicit Calendar(Session& s);

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return std::string(kTitle); }
  void open() override;
  std::string value(int control) const override;
  bool enabled(int control) const override;
  bool hidden(int control) const override;
  int focus() const override { return focus_; }

  int month() const { return month_; }
  std::int64_t year() const { return year_; }
  std::int32_t nodays() const { return nodays_; }
  // CTITLE: the month name and year centred in 14 characters.
  const std::string& sheet_title() const { return title_; }
  // The text of day button i (0 = B11 ... 41 = B67): " " + day ("n2b") + " ", blank for none.
  const std::string& day_text(int i) const { return days_[static_cast<std::size_t>(i)]; }

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return leave(Response::Cancelled); }
  std::string store(int, const Typed&) override { return {}; }  // takes no entry

 private:
  void pop_scr();
  // Closes the window: GLO:CMASK back to "1111111", GLO:CDATE as found unless a day was picked.
  Reply leave(Response r);
  int button_index(int control) const;

  Session& session_;
  std::int32_t cdate_ = 0;
  std::string mask_;
  int month_ = 1;
  std::int64_t year_ = 1;
  std::int32_t nodays_ = 0;
  std::string title_;
  std::array<std::string, 42> days_;
  int box_ = -1;  // the day button framed as GLO:CDATE, -1 for none
  int bax_ = -1;  // the day button framed as today
  int focus_ = 0;
};

// WINGDINGCHART: the picture of the Wingdings characters and a "Close" button; Close, Esc and
// Enter close it. Nothing is read or written.
enum class WingdingChartControl : int { IMAGE1 = 1, CANCEL };

class WingdingChart final : public WindowModelBase {
 public:
  static constexpr std::string_view kTitle = "  View Wingding characters";
  // The picture the image control shows: the program draws it, 751 x 299 pixels.
  static constexpr std::string_view kPicture = "Wingdings.JPG";
  static constexpr int kPictureWidth = 751;
  static constexpr int kPictureHeight = 299;

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return std::string(kTitle); }
  void open() override {}
  std::string value(int) const override { return {}; }
  bool enabled(int) const override { return !closed(); }
  int focus() const override { return number(WingdingChartControl::CANCEL); }

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return close(Response::Completed); }
  std::string store(int, const Typed&) override { return {}; }  // takes no entry
};

}  // namespace mervane
