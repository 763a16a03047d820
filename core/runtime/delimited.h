// Comma-delimited records: one record per line, fields in declaration order, numbers (dates and
// times as serials) as decimal digits, texts in double quotes with an inner quote doubled. The
// quotes keep a text holding a comma (a description as "Retail Sales, ex Autos") in one field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/runtime/schema.h"
#include "core/runtime/status.h"

namespace mervane {

// Splits a line at the commas outside double quotes; quoted fields lose their quotes and
// doubled quotes become one.
std::vector<std::string> split_delimited(std::string_view line);
std::string quote_delimited(std::string_view text);
// A whole decimal number, or 92 "Invalid Value".
Status parse_integer(std::string_view text, std::int64_t& out);
Status parse_real(std::string_view text, double& out);

template <class Record>
std::string to_delimited(const Record& r) {
  std::string line;
  bool first = true;
  Record::fields(const_cast<Record&>(r), [&](const char*, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if (!first) line += ',';
    first = false;
    if constexpr (detail::is_text<T>::value) {
      line += quote_delimited(field.view());
    } else if constexpr (std::is_floating_point_v<T>) {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.17g", static_cast<double>(field));
      line += buf;
    } else {
      line += std::to_string(static_cast<std::int64_t>(field));
    }
  });
  return line;
}

// Fills r from a line written by to_delimited: 92 when a field is missing or not a number.
template <class Record>
Status from_delimited(std::string_view line, Record& r) {
  const std::vector<std::string> parts = split_delimited(line);
  std::size_t i = 0;
  Status st;
  Record::fields(r, [&](const char*, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if (st.failed()) return;
    if (i >= parts.size()) {
      st = Status(kBadValue, "Invalid Value: too few fields");
      return;
    }
    const std::string& p = parts[i++];
    if constexpr (detail::is_text<T>::value) {
      field.assign(p);
    } else if constexpr (std::is_floating_point_v<T>) {
      double d = 0;
      st = parse_real(p, d);
      field = static_cast<T>(d);
    } else {
      std::int64_t n = 0;
      st = parse_integer(p, n);
      field = static_cast<T>(n);
    }
  });
  if (st.is_ok() && i != parts.size()) st = Status(kBadValue, "Invalid Value: too many fields");
  return st;
}

}  // namespace mervane
