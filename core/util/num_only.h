// The number in a text, as the export's "Numbers only" and the NCI scores read it: digits are
// taken in order, a "." marks where the decimals start (a second one changes nothing), every
// "-" flips the sign, and everything else is skipped. '1.5%' gives 1.5, '-0.3' -0.3, '250K' 250,
// '<1.2' 1.2, '1,234K' 1234, an empty text 0.
#pragma once

#include <string_view>

namespace mervane {

double num_only(std::string_view text);

}  // namespace mervane
