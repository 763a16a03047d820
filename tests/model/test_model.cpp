// The record layouts and settings groups as other files and windows rely on them.
#include <gtest/gtest.h>

#include "core/model/records.h"
#include "core/model/session.h"
#include "core/model/settings.h"

namespace mervane {
namespace {

template <class R>
std::vector<std::string> names_of() {
  std::vector<std::string> out;
  R r{};
  R::fields(r, [&](const char* n, auto&, FieldKind) { out.emplace_back(n); });
  return out;
}

TEST(Model, CalendarAndCal2HoldTheSameFieldsInTheirOwnOrders) {
  const auto cal = names_of<CalendarRecord>();
  const auto cal2 = names_of<Cal2Record>();
  ASSERT_EQ(cal.size(), 13u);
  ASSERT_EQ(cal2.size(), 13u);
  EXPECT_EQ(cal[10], "spacing");
  EXPECT_EQ(cal[11], "revisedfrom");
  EXPECT_EQ(cal2[10], "revisedfrom");  // the rebuild file has revised-from before spacing
  EXPECT_EQ(cal2[11], "spacing");
  const auto& schema = CalendarTable::schema();
  EXPECT_EQ(schema.columns[static_cast<std::size_t>(schema.column_index("descr"))].width, 50);
  EXPECT_EQ(schema.columns[static_cast<std::size_t>(schema.column_index("kxidcode"))].width, 6);
}

TEST(Model, KeysOfEveryTable) {
  struct Case {
    const TableSchema& s;
    std::vector<std::pair<std::string, bool>> keys;  // name, unique
  };
  const Case cases[] = {
      {CalendarTable::schema(),
       {{"CAL:KEY", true}, {"CAL:NAMEKEY", false}, {"CAL:DESCRKEY", false}}},
      {PviewTable::schema(),
       {{"PVW:KEYDATE", true}, {"PVW:KEYDESC", false}, {"PVW:KEYCURR", false}}},
      {NcidbTable::schema(), {{"NCI:KEYKXID", false}, {"NCI:KEYDATE", false}}},
      {SwaprateTable::schema(), {{"SWR:KEYPAIR", true}}},
      {SwapdataTable::schema(), {{"SWD:KEYDATEADD", true}}},
      {SwapoutTable::schema(), {{"SWO:KEY", true}}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.s.keys.size(), c.keys.size()) << c.s.store;
    for (std::size_t i = 0; i < c.keys.size(); ++i) {
      EXPECT_EQ(c.s.keys[i].def.name, c.keys[i].first);
      EXPECT_EQ(c.s.keys[i].def.unique, c.keys[i].second) << c.keys[i].first;
      EXPECT_EQ(c.s.keys[i].def.keeps_blank, c.keys[i].first == "NCI:KEYKXID");
    }
  }
  EXPECT_EQ(SwapoutTable::schema().columns.size(), 18u);
  EXPECT_EQ(SwaprateTable::schema().columns.size(), 15u);
  EXPECT_EQ(SwapdataTable::schema().columns.size(), 17u);
}

TEST(Model, BuildSettingsHoldTheSixtySixFieldsInDeclarationOrder) {
  const auto n = names_of<BuildSettings>();
  ASSERT_EQ(n.size(), 66u);
  EXPECT_EQ(n.front(), "INPNAME");
  EXPECT_EQ(n[3], "DATE1");
  EXPECT_EQ(n[17], "FROMDATE");
  EXPECT_EQ(n[43], "SEPCHAR");
  EXPECT_EQ(n[61], "PAIRS");
  EXPECT_EQ(n.back(), "SYMOTR");
  BuildSettings b;
  b.pairs = std::string(200, 'E');
  EXPECT_EQ(b.pairs.length(), 139u);
}

TEST(Model, SessionStartsBlankButForTheDatePickerMask) {
  FixedClock clock(70000, 1);
  Session s("/tmp", clock);
  const Globals g = s.globals();
  EXPECT_EQ(g.cmask, "1111111");
  EXPECT_TRUE(g.outname.blank());
  EXPECT_EQ(g.autop, 0);
  s.with([](Globals& v) { v.parm3 = "Broker"; });
  EXPECT_EQ(s.globals().parm3, "Broker");
  EXPECT_EQ(s.add_use("CALENDAR"), 1);
  EXPECT_EQ(s.add_use("CALENDAR"), 2);
  EXPECT_EQ(s.release_use("CALENDAR"), 1);
}

}  // namespace
}  // namespace mervane
