#include "core/model/records.h"

namespace mervane {

const TableSchema& CalendarTable::schema() {
  static const TableSchema s =
      make_schema("CALENDAR", columns_of<CalendarRecord>(),
                  {{"CAL:KEY", {"date", "time", "currency", "descr"}, true, false},
                   {"CAL:NAMEKEY", {"currency", "descr", "date", "time"}, false, false},
                   {"CAL:DESCRKEY", {"descr", "currency", "date", "time"}, false, false}});
  return s;
}

const TableSchema& PviewTable::schema() {
  static const TableSchema s =
      make_schema("PVIEW", columns_of<PviewRecord>(),
                  {{"PVW:KEYDATE", {"date", "time", "currency", "descr"}, true, false},
                   {"PVW:KEYDESC", {"descr", "currency", "date", "time"}, false, false},
                   {"PVW:KEYCURR", {"currency", "descr", "date", "time"}, false, false}});
  return s;
}

const TableSchema& NcidbTable::schema() {
  // The KX ID key keeps records with a blank KX ID: the merge must find them too.
  static const TableSchema s =
      make_schema("NCIDB", columns_of<NcidbRecord>(),
                  {{"NCI:KEYKXID", {"kxid"}, false, true},
                   {"NCI:KEYDATE", {"date", "time", "ccy", "descr"}, false, false}});
  return s;
}

const TableSchema& SwaprateTable::schema() {
  static const TableSchema s = make_schema("SWAPRATE", columns_of<SwaprateRecord>(),
                                           {{"SWR:KEYPAIR", {"pair"}, true, false}});
  return s;
}

const TableSchema& SwapdataTable::schema() {
  static const TableSchema s = make_schema("SWAPDATA", columns_of<SwapdataRecord>(),
                                           {{"SWD:KEYDATEADD", {"dateadd"}, true, false}});
  return s;
}

const TableSchema& SwapoutTable::schema() {
  static const TableSchema s =
      make_schema("SWAPOUT", columns_of<SwapoutRecord>(),
                  {{"SWO:KEY", {"rectype", "date", "time", "currency", "text1"}, true, false}});
  return s;
}

Cal2Record Cal2Record::from(const CalendarRecord& c) {
  Cal2Record r;
  r.date = c.date;
  r.time = c.time;
  r.currency = c.currency;
  r.descr = c.descr;
  r.symbol = c.symbol;
  r.impact = c.impact;
  r.color = c.color;
  r.actual = c.actual;
  r.forecast = c.forecast;
  r.previous = c.previous;
  r.revisedfrom = c.revisedfrom;
  r.spacing = c.spacing;
  r.kxidcode = c.kxidcode;
  return r;
}

CalendarRecord Cal2Record::to_calendar() const {
  CalendarRecord c;
  c.date = date;
  c.time = time;
  c.currency = currency;
  c.descr = descr;
  c.symbol = symbol;
  c.impact = impact;
  c.color = color;
  c.actual = actual;
  c.forecast = forecast;
  c.previous = previous;
  c.revisedfrom = revisedfrom;
  c.spacing = spacing;
  c.kxidcode = kxidcode;
  return c;
}

}  // namespace mervane
