#include "core/auxdata/swap_item.h"

#include "core/util/helpers.h"
#include "core/util/picture.h"

namespace mervane {

std::string swap_text2(double buy, double sell, std::int16_t factor) {
  std::string s = buy > 0 ? "BUY" : "buy";
  s += ": " + trim(format_value("n(8.2)", buy * factor));
  s += "   ";
  s += sell > 0 ? "SELL" : "sell";
  s += ": " + trim(format_value("n(8.2)", sell * factor));
  return s;
}

SwapoutRecord swap_item(const SwapdataRecord& d, const SwaprateRecord& p, std::int32_t sunday) {
  SwapoutRecord o;
  o.rectype = "SWAP";
  o.date = static_cast<std::int32_t>(static_cast<std::int64_t>(sunday) + d.dateadd);
  o.time = d.mt4time;
  o.currency = p.pair;
  o.text1 = d.descr;
  o.spacing = d.spacing;
  o.symbol = p.sell > p.buy ? d.symbol2 : d.symbol;
  o.color = d.color;
  o.m1 = d.m1;
  o.m5 = d.m5;
  o.m15 = d.m15;
  o.m30 = d.m30;
  o.h1 = d.h1;
  o.h4 = d.h4;
  o.d1 = d.d1;
  o.w1 = d.w1;
  o.mn1 = d.mn1;
  o.text2 = swap_text2(p.buy, p.sell, d.factor);
  return o;
}

}  // namespace mervane
