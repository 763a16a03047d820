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
  copy_fields(c, r);
  return r;
}

CalendarRecord Cal2Record::to_calendar() const {
  CalendarRecord c;
  copy_fields(*this, c);
  return c;
}

}  // namespace mervane
