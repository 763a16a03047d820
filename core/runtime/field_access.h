// One field of a record by its column number (its place in the record's field list), for code
// that works on any table through its schema: the lists, which read and set the leading field
// of a key.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>

#include "core/runtime/schema.h"

namespace mervane {

template <class Record>
FieldValue field_value(const Record& rec, int column) {
  FieldValue out;
  int i = 0;
  Record::fields(const_cast<Record&>(rec), [&](const char*, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if (i++ != column) return;
    if constexpr (detail::is_text<T>::value) {
      out = field.str();
    } else if constexpr (std::is_floating_point_v<T>) {
      out = static_cast<double>(field);
    } else {
      out = static_cast<std::int64_t>(field);
    }
  });
  return out;
}

// Sets a field from a value. A number goes into a whole-number field rounded up (the first value
// not below it) and held within the field's range, so INT64_MIN gives the field's lowest value;
// a text is cut at the field's width. A value of the wrong sort leaves the field as it was.
template <class Record>
void set_field(Record& rec, int column, const FieldValue& v) {
  int i = 0;
  Record::fields(rec, [&](const char*, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if (i++ != column) return;
    if constexpr (detail::is_text<T>::value) {
      if (const auto* s = std::get_if<std::string>(&v)) field = *s;
    } else if constexpr (std::is_floating_point_v<T>) {
      if (const auto* d = std::get_if<double>(&v)) field = static_cast<T>(*d);
      if (const auto* n = std::get_if<std::int64_t>(&v)) field = static_cast<T>(*n);
    } else {
      constexpr auto lo = static_cast<double>(std::numeric_limits<T>::min());
      constexpr auto hi = static_cast<double>(std::numeric_limits<T>::max());
      double d;
      if (const auto* n = std::get_if<std::int64_t>(&v))
        d = static_cast<double>(*n);
      else if (const auto* x = std::get_if<double>(&v))
        d = std::ceil(*x);
      else
        return;
      field = static_cast<T>(d < lo ? lo : d > hi ? hi : d);
    }
  });
}

// Letters without regard to case, as the keys compare texts.
constexpr char fold_case(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr int compare_nocase(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(fold_case(a[i]));
    const auto y = static_cast<unsigned char>(fold_case(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace mervane
