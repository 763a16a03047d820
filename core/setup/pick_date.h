// The calendar button beside a date field: the date goes to the date picker through GLO:CDATE,
// with the weekdays it allows in GLO:CMASK, and comes back the same way (unchanged when the user
// picks nothing). The picker sets the mask back to "1111111" when it closes.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/app/windows.h"
#include "core/model/session.h"

namespace mervane {

// mask: seven characters, Monday to Sunday; "0" makes that weekday unusable.
void pick_date(Windows& w, Session& s, std::int32_t& date, std::string_view mask = "1111111");

}  // namespace mervane
