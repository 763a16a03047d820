// Record layouts and table definitions of the keyed tables.
//
// Dates are date serials and times time serials (core/util/dates.h). Each record lists its
// fields, in declaration order, through fields(record, visitor); the table definitions below add
// the keys. Text widths are those the files and windows rely on.
#pragma once

#include <cstdint>

#include "core/runtime/schema.h"
#include "core/util/text.h"

namespace mervane {

namespace fk {
constexpr FieldKind Int = FieldKind::Int;
constexpr FieldKind Date = FieldKind::Date;
constexpr FieldKind Time = FieldKind::Time;
constexpr FieldKind Real = FieldKind::Real;
constexpr FieldKind Txt = FieldKind::Text;
}  // namespace fk

// CALENDAR: the Event History, one record per calendar event, in MT4 time.
struct CalendarRecord {
  std::int32_t date = 0;
  std::int32_t time = 0;
  Text<4> currency;
  Text<50> descr;
  Text<3> symbol;  // Wingdings code as decimal digits
  Text<1> impact;  // "L", "M", "H"
  Text<3> color;   // 1-11 as decimal digits
  Text<10> actual;
  Text<10> forecast;
  Text<10> previous;
  Text<4> spacing;
  Text<10> revisedfrom;
  Text<6> kxidcode;

  template <class R, class V>
  static void fields(R& r, V&& f) {
    f("date", r.date, fk::Date);
    f("time", r.time, fk::Time);
    f("currency", r.currency, fk::Txt);
    f("descr", r.descr, fk::Txt);
    f("symbol", r.symbol, fk::Txt);
    f("impact", r.impact, fk::Txt);
    f("color", r.color, fk::Txt);
    f("actual", r.actual, fk::Txt);
    f("forecast", r.forecast, fk::Txt);
    f("previous", r.previous, fk::Txt);
    f("spacing", r.spacing, fk::Txt);
    f("revisedfrom", r.revisedfrom, fk::Txt);
    f("kxidcode", r.kxidcode, fk::Txt);
  }
  friend bool operator==(const CalendarRecord&, const CalendarRecord&) = default;
};
enum class CalendarKey { Key, NameKey, DescrKey };
struct CalendarTable {
  using Record = CalendarRecord;
  using Key = CalendarKey;
  static const TableSchema& schema();
};

// PVIEW: the events the last preview or effects run selected, in MT4 time.
struct PviewRecord {
  std::int32_t date = 0;
  std::int32_t time = 0;
  Text<4> currency;
  Text<50> descr;
  Text<1> impact;
  Text<10> actual;
  Text<10> forecast;
  Text<10> previous;
  Text<10> revisedfrom;
  Text<6> kxidcode;

  template <class R, class V>
  static void fields(R& r, V&& f) {
    f("date", r.date, fk::Date);
    f("time", r.time, fk::Time);
    f("currency", r.currency, fk::Txt);
    f("descr", r.descr, fk::Txt);
    f("impact", r.impact, fk::Txt);
    f("actual", r.actual, fk::Txt);
    f("forecast", r.forecast, fk::Txt);
    f("previous", r.previous, fk::Txt);
    f("revisedfrom", r.revisedfrom, fk::Txt);
    f("kxidcode", r.kxidcode, fk::Txt);
  }
  friend bool operator==(const PviewRecord&, const PviewRecord&) = default;
};
enum class PviewKey { KeyDate, KeyDesc, KeyCurr };
struct PviewTable {
  using Record = PviewRecord;
  using Key = PviewKey;
  static const TableSchema& schema();
};

// NCIDB: the working store of the NCI file merge.
struct NcidbRecord {
  Text<6> kxid;
  std::int32_t date = 0;
  std::int32_t time = 0;
  Text<4> ccy;
  Text<1> impact;
  Text<50> descr;
  Text<10> actual;
  Text<10> forecast;
  Text<10> previous;
  Text<10> revfrom;
  Text<20> ncivalue;

  template <class R, class V>
  static void fields(R& r, V&& f) {
    f("kxid", r.kxid, fk::Txt);
    f("date", r.date, fk::Date);
    f("time", r.time, fk::Time);
    f("ccy", r.ccy, fk::Txt);
    f("impact", r.impact, fk::Txt);
    f("descr", r.descr, fk::Txt);
    f("actual", r.actual, fk::Txt);
    f("forecast", r.forecast, fk::Txt);
    f("previous", r.previous, fk::Txt);
    f("revfrom", r.revfrom, fk::Txt);
    f("ncivalue", r.ncivalue, fk::Txt);
  }
  friend bool operator==(const NcidbRecord&, const NcidbRecord&) = default;
};
enum class NcidbKey { KeyKxid, KeyDate };
struct NcidbTable {
  using Record = NcidbRecord;
  using Key = NcidbKey;
  static const TableSchema& schema();
};

// SWAPRATE: swap rates per currency pair and the spread-collection flags.
struct SwaprateRecord {
  Text<6> pair;
  double buy = 0;
  double sell = 0;
  std::int16_t all = 0, usd = 0, cad = 0, eur = 0, gbp = 0, chf = 0, jpy = 0, aud = 0, nzd = 0;
  std::int16_t high = 0, med = 0, low = 0;

  template <class R, class V>
  static void fields(R& r, V&& f) {
    f("pair", r.pair, fk::Txt);
    f("buy", r.buy, fk::Real);
    f("sell", r.sell, fk::Real);
    f("all", r.all, fk::Int);
    f("usd", r.usd, fk::Int);
    f("cad", r.cad, fk::Int);
    f("eur", r.eur, fk::Int);
    f("gbp", r.gbp, fk::Int);
    f("chf", r.chf, fk::Int);
    f("jpy", r.jpy, fk::Int);
    f("aud", r.aud, fk::Int);
    f("nzd", r.nzd, fk::Int);
    f("high", r.high, fk::Int);
    f("med", r.med, fk::Int);
    f("low", r.low, fk::Int);
  }
  friend bool operator==(const SwaprateRecord&, const SwaprateRecord&) = default;
};
enum class SwaprateKey { KeyPair };
struct SwaprateTable {
  using Record = SwaprateRecord;
  using Key = SwaprateKey;
  static const TableSchema& schema();
};

// SWAPDATA: definitions from which the week's swap items are generated.
struct SwapdataRecord {
  std::int16_t dateadd = 0;
  std::int32_t mt4time = 0;
  Text<50> descr;
  std::int16_t factor = 0;
  std::int16_t spacing = 0;
  std::int16_t color = 0;
  std::int16_t symbol = 0;
  std::int16_t symbol2 = 0;
  std::int16_t m1 = 0, m5 = 0, m15 = 0, m30 = 0, h1 = 0, h4 = 0, d1 = 0, w1 = 0, mn1 = 0;

  template <class R, class V>
  static void fields(R& r, V&& f) {
    f("dateadd", r.dateadd, fk::Int);
    f("mt4time", r.mt4time, fk::Time);
    f("descr", r.descr, fk::Txt);
    f("factor", r.factor, fk::Int);
    f("spacing", r.spacing, fk::Int);
    f("color", r.color, fk::Int);
    f("symbol", r.symbol, fk::Int);
    f("symbol2", r.symbol2, fk::Int);
    f("m1", r.m1, fk::Int);
    f("m5", r.m5, fk::Int);
    f("m15", r.m15, fk::Int);
    f("m30", r.m30, fk::Int);
    f("h1", r.h1, fk::Int);
    f("h4", r.h4, fk::Int);
    f("d1", r.d1, fk::Int);
    f("w1", r.w1, fk::Int);
    f("mn1", r.mn1, fk::Int);
  }
  friend bool operator==(const SwapdataRecord&, const SwapdataRecord&) = default;
};
enum class SwapdataKey { KeyDateAdd };
struct SwapdataTable {
  using Record = SwapdataRecord;
  using Key = SwapdataKey;
  static const TableSchema& schema();
};

// SWAPOUT: auxiliary output items written into News.CSV before the events.
struct SwapoutRecord {
  Text<6> rectype;
  std::int32_t date = 0;
  std::int32_t time = 0;
  std::int16_t spacing = 0;
  std::int16_t symbol = 0;
  std::int16_t color = 0;
  Text<6> currency;
  std::int16_t m1 = 0, m5 = 0, m15 = 0, m30 = 0, h1 = 0, h4 = 0, d1 = 0, w1 = 0, mn1 = 0;
  Text<50> text1;
  Text<50> text2;

  template <class R, class V>
  static void fields(R& r, V&& f) {
    f("rectype", r.rectype, fk::Txt);
    f("date", r.date, fk::Date);
    f("time", r.time, fk::Time);
    f("spacing", r.spacing, fk::Int);
    f("symbol", r.symbol, fk::Int);
    f("color", r.color, fk::Int);
    f("currency", r.currency, fk::Txt);
    f("m1", r.m1, fk::Int);
    f("m5", r.m5, fk::Int);
    f("m15", r.m15, fk::Int);
    f("m30", r.m30, fk::Int);
    f("h1", r.h1, fk::Int);
    f("h4", r.h4, fk::Int);
    f("d1", r.d1, fk::Int);
    f("w1", r.w1, fk::Int);
    f("mn1", r.mn1, fk::Int);
    f("text1", r.text1, fk::Txt);
    f("text2", r.text2, fk::Txt);
  }
  friend bool operator==(const SwapoutRecord&, const SwapoutRecord&) = default;
};
enum class SwapoutKey { Key };
struct SwapoutTable {
  using Record = SwapoutRecord;
  using Key = SwapoutKey;
  static const TableSchema& schema();
};

// CAL2: the thirteen CALENDAR fields in the order of the rebuild's temporary file (revised-from
// before spacing).
struct Cal2Record {
  std::int32_t date = 0;
  std::int32_t time = 0;
  Text<4> currency;
  Text<50> descr;
  Text<3> symbol;
  Text<1> impact;
  Text<3> color;
  Text<10> actual;
  Text<10> forecast;
  Text<10> previous;
  Text<10> revisedfrom;
  Text<4> spacing;
  Text<6> kxidcode;

  template <class R, class V>
  static void fields(R& r, V&& f) {
    f("date", r.date, fk::Date);
    f("time", r.time, fk::Time);
    f("currency", r.currency, fk::Txt);
    f("descr", r.descr, fk::Txt);
    f("symbol", r.symbol, fk::Txt);
    f("impact", r.impact, fk::Txt);
    f("color", r.color, fk::Txt);
    f("actual", r.actual, fk::Txt);
    f("forecast", r.forecast, fk::Txt);
    f("previous", r.previous, fk::Txt);
    f("revisedfrom", r.revisedfrom, fk::Txt);
    f("spacing", r.spacing, fk::Txt);
    f("kxidcode", r.kxidcode, fk::Txt);
  }
  friend bool operator==(const Cal2Record&, const Cal2Record&) = default;

  static Cal2Record from(const CalendarRecord& c);
  CalendarRecord to_calendar() const;
};

}  // namespace mervane
