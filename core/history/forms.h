// The four record forms: UPDATECALENDAR (an event of the history), EDITSWAPOUT (an auxiliary
// item), EDITSWAPRATE (a pair's swap rates and spread flags) and EDITSWAPDATA (a swap
// definition). Each is a RecordForm (form.h) with its controls placed as a dialog of its kind
// lays them out, its pictures, titles and extras:
//   - the calendar buttons (?BUTTON3, ?BUTTON4) run the date picker on the date field through
//     GLO:CDATE; the item form then moves the cursor on to the time;
//   - the Wingdings previews (?WINGCHAR, ?WINGCHAR2) show the character whose code the symbol
//     field holds (value(): the code, empty when it is no character code 1-255);
//   - the item form's "Duplicate (F7)" fills every field from the item kept in GLO:SWOREC, which
//     OK sets to the item in the fields before storing it; nothing happens while no item has
//     been kept;
//   - the swap rate form opens where the first one of the run was placed (frame()), learning
//     the place from the host's first OtherEvent Moved;
//   - the swap definition form allows Date Add 0 (the Sunday's definition, which the key leaves
//     out) and still refuses a second one.
#pragma once

#include <memory>

#include "core/app/windows.h"
#include "core/history/form.h"
#include "core/model/records.h"

namespace mervane {

// The record forms the lists run.
enum class FormKind { UpdateCalendar, EditSwapOut, EditSwapRate, EditSwapData };

extern template class RecordForm<CalendarTable>;
extern template class RecordForm<SwapoutTable>;
extern template class RecordForm<SwaprateTable>;
extern template class RecordForm<SwapdataTable>;

// The forms' own controls; their prompts, group boxes, colour legends and Wingdings pictures
// are numbered from 100 on, in window order with the rest.
enum class UpdateCalendarControl : int {
  DATE = 1,
  BUTTON3,
  TIME,
  CURRENCY,
  DESCR,
  IMPACT,
  ACTUAL,
  FORECAST,
  PREVIOUS,
  REVISEDFROM,  // 10
  SPACING,
  SYMBOL,
  WINGCHAR,
  COLOR,
  KXIDCODE,
  OK,
  CANCEL,
};

enum class EditSwapOutControl : int {
  RECTYPE = 1,
  DATE,
  BUTTON4,
  TIME,
  CURRENCY,
  SPACING,
  SYMBOL,
  WINGCHAR,
  COLOR,
  MN1,  // 10
  M1,
  M5,
  M15,
  M30,
  H1,
  H4,
  D1,
  W1,
  TEXT1,
  TEXT2,  // 20
  DUP,
  OK,
  CANCEL,
};

enum class EditSwapRateControl : int {
  PAIR = 1,
  BUY,
  SELL,
  ALL,
  USD,
  CAD,
  EUR,
  GBP,
  CHF,
  JPY,  // 10
  AUD,
  NZD,
  HIGH,
  MED,
  LOW,
  OK,
  CANCEL,
};

enum class EditSwapDataControl : int {
  DATEADD = 1,
  MT4TIME,
  DESCR,
  FACTOR,
  SPACING,
  COLOR,
  SYMBOL,
  WINGCHAR,
  SYMBOL2,
  WINGCHAR2,  // 10
  M1,
  M5,
  M15,
  M30,
  H1,
  H4,
  D1,
  W1,
  MN1,
  OK,  // 20
  CANCEL,
};

class UpdateCalendar : public RecordForm<CalendarTable> {
 public:
  UpdateCalendar(Session& s, Windows& w, Reporter& r);

 protected:
  bool own_button(int control) override;
  std::string own_value(int control) const override;
};

class EditSwapOut : public RecordForm<SwapoutTable> {
 public:
  EditSwapOut(Session& s, Windows& w, Reporter& r);

 protected:
  bool own_button(int control) override;
  bool own_key(KeyPress k) override;
  std::string own_value(int control) const override;
  void before_save() override;

 private:
  void duplicate();
};

class EditSwapRate : public RecordForm<SwaprateTable> {
 public:
  EditSwapRate(Session& s, Windows& w, Reporter& r);
  Frame frame() const override;

 protected:
  Reply on_other_event(const OtherEvent& e) override;
};

class EditSwapData : public RecordForm<SwapdataTable> {
 public:
  EditSwapData(Session& s, Windows& w, Reporter& r);

 protected:
  std::string own_value(int control) const override;
};

// The form of a kind, for the list that runs it.
std::unique_ptr<WindowModel> make_form(FormKind kind, Session& s, Windows& w, Reporter& r);

}  // namespace mervane
