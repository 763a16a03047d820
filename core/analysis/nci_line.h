// One line of an NCI file, written and read back, and the score "Auto" gives an event.
//
// A line has ten comma-separated fields without quoting, each left-justified and padded with
// blanks to a fixed width so the columns line up (other tools read the files, so the layout is
// kept exactly):
//
//   value 3, "yyyy.mm.dd hh:mm" (or "yyyy.mm.dd 0" for an untimed event; free width),
//   currency 4, impact 7 ("High", "Medium", "Low"), description 50, actual 10, forecast 10,
//   previous 10, revised from 10, KX ID 6 (the line's trailing blanks are not written).
//
// Descriptions and values may hold commas of their own, so a line is not simply split at its
// commas: the first four fields are taken from the left and the KX ID from the right; between
// them, a part laid out with the written widths is cut at those widths, and any other part is
// read from the right (four values, the description being everything before them). A line with
// fewer than ten fields leaves the missing ones empty.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/records.h"

namespace mervane {

// The line of a record (without line end; trailing blanks are the writer's to drop).
std::string nci_line(const NcidbRecord& r);

// The record of a line; nothing for a line of blanks only. The value is read up to 20
// characters, the impact as the first letter of its field, the date from characters 1-4
// (year), 6-7 (month) and 9-10 (day) of its field and the time from 12-13 and 15-16, whatever
// the separators; a time of "0" reads back as midnight, a date that is no calendar date as 0.
[[nodiscard]] std::optional<NcidbRecord> read_nci_line(std::string_view line);

// The "Auto" score: with w = 8, 4, 2 for impact "H", "M", "L" (0 otherwise) and the numbers in
// the texts (num_only): 0 without an actual; else w x sgn(actual - revised from), or w x
// sgn(actual - previous) when there is no revised-from figure, plus sgn(actual - forecast)
// when there is a forecast.
std::int32_t nci_score(const NcidbRecord& r);

}  // namespace mervane
