// The auxiliary item of record type "SWAP" that one swap definition (SWAPDATA) gives for one
// currency pair (SWAPRATE) in the week that starts on a Sunday.
#pragma once

#include <cstdint>
#include <string>

#include "core/model/records.h"

namespace mervane {

// The item: dated sunday + Date Add at the definition's MT4 time, the pair as its currency, the
// definition's description as text 1, its spacing, colour and timeframe flags, the down symbol
// when the sell swap is higher than the buy swap (else the up symbol), and swap_text2 as text 2.
SwapoutRecord swap_item(const SwapdataRecord& d, const SwaprateRecord& p, std::int32_t sunday);

// "BUY: 1.25   sell: (3.50)": the buy word (upper case when the swap is above 0), ": ", the
// swap times the factor with the picture "n(8.2)" without blanks, three blanks, and the same
// for the sell swap.
std::string swap_text2(double buy, double sell, std::int16_t factor);

}  // namespace mervane
