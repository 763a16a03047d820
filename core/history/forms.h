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

extern template class RecordForm<CalendarTable>;
extern template class RecordForm<SwapoutTable>;
extern template class RecordForm<SwaprateTable>;
extern template class RecordForm<SwapdataTable>;

enum class UpdateCalendarControl : int {
  DATE_PROMPT = 1,
  DATE,
  BUTTON3,
  TIME_PROMPT,
  TIME,
  CURRENCY_PROMPT,
  CURRENCY,
  DESCR_PROMPT,
  DESCR,
  IMPACT_PROMPT,  // 10
  IMPACT,
  IMPACT_HINT,
  ACTUAL_PROMPT,
  ACTUAL,
  FORECAST_PROMPT,
  FORECAST,
  PREVIOUS_PROMPT,
  PREVIOUS,
  REVISEDFROM_PROMPT,
  REVISEDFROM,  // 20
  SPACING_PROMPT,
  SPACING,
  SYMBOL_PROMPT,
  SYMBOL,
  WINGCHAR,
  IMAGE1,
  COLOR_PROMPT,
  COLOR,
  COLOR_LEGEND1,
  COLOR_LEGEND2,  // 30
  KXIDCODE_PROMPT,
  KXIDCODE,
  OK,
  CANCEL,
};

enum class EditSwapOutControl : int {
  RECTYPE_PROMPT = 1,
  RECTYPE,
  DATE_PROMPT,
  DATE,
  BUTTON4,
  TIME_PROMPT,
  TIME,
  CURRENCY_PROMPT,
  CURRENCY,
  SPACING_PROMPT,  // 10
  SPACING,
  SYMBOL_PROMPT,
  SYMBOL,
  WINGCHAR,
  IMAGE1,
  COLOR_PROMPT,
  COLOR,
  COLOR_LEGEND1,
  COLOR_LEGEND2,
  CHARTS_GROUP,  // 20
  MN1,
  M1,
  M5,
  M15,
  M30,
  H1,
  H4,
  D1,
  W1,
  TEXT1_PROMPT,  // 30
  TEXT1,
  TEXT2_PROMPT,
  TEXT2,
  DUP,
  OK,
  CANCEL,
};

enum class EditSwapRateControl : int {
  PAIR_PROMPT = 1,
  PAIR,
  RATES_GROUP,
  BUY_PROMPT,
  BUY,
  SELL_PROMPT,
  SELL,
  SPREAD_GROUP,
  ALL,
  USD,  // 10
  CAD,
  EUR,
  GBP,
  CHF,
  JPY,
  AUD,
  NZD,
  HIGH,
  MED,
  LOW,  // 20
  OK,
  CANCEL,
};

enum class EditSwapDataControl : int {
  DATEADD_PROMPT = 1,
  DATEADD,
  MT4TIME_PROMPT,
  MT4TIME,
  DESCR_PROMPT,
  DESCR,
  FACTOR_PROMPT,
  FACTOR,
  SPACING_PROMPT,
  SPACING,  // 10
  COLOR_PROMPT,
  COLOR,
  SYMBOL_PROMPT,
  SYMBOL,
  WINGCHAR,
  SYMBOL2_PROMPT,
  SYMBOL2,
  WINGCHAR2,
  M1,
  M5,  // 20
  M15,
  M30,
  H1,
  H4,
  D1,
  W1,
  MN1,
  OK,
  CANCEL,
};

constexpr int number(UpdateCalendarControl c) {
  return static_cast<int>(c);
}
constexpr int number(EditSwapOutControl c) {
  return static_cast<int>(c);
}
constexpr int number(EditSwapRateControl c) {
  return static_cast<int>(c);
}
constexpr int number(EditSwapDataControl c) {
  return static_cast<int>(c);
}

class UpdateCalendar : public RecordForm<CalendarTable> {
 public:
  UpdateCalendar(Session& s, Windows& w, Reporter& r);

 protected:
  bool own_button(int control, Reply& reply) override;
  std::string own_value(int control) const override;
};

class EditSwapOut : public RecordForm<SwapoutTable> {
 public:
  EditSwapOut(Session& s, Windows& w, Reporter& r);

 protected:
  bool own_button(int control, Reply& reply) override;
  bool own_key(KeyPress k, Reply& reply) override;
  std::string own_value(int control) const override;
  void before_save() override;

 private:
  void duplicate();
};

class EditSwapRate : public RecordForm<SwaprateTable> {
 public:
  EditSwapRate(Session& s, Windows& w, Reporter& r);
  Frame frame() const override;
  Reply other_event(const OtherEvent& e) override;
};

class EditSwapData : public RecordForm<SwapdataTable> {
 public:
  EditSwapData(Session& s, Windows& w, Reporter& r);

 protected:
  std::string own_value(int control) const override;
};

// The form of a kind, for a host that opens the form a list asks for.
std::unique_ptr<WindowModel> make_form(FormKind kind, Session& s, Windows& w, Reporter& r);

}  // namespace mervane
