// Records as CSV lines for listings on stdout: a header of field names, then one line per
// record; dates mm/dd/yyyy, times hh:mm (empty for 0), texts as UTF-8; a value is quoted when
// it holds a comma, a double quote or a line break.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>
#include <type_traits>

#include "core/runtime/paths.h"
#include "core/runtime/schema.h"
#include "core/util/charset.h"
#include "core/util/picture.h"

namespace mervane::cli {

std::string csv_cell(std::string_view value);

template <class Record>
void print_header(std::ostream& out) {
  Record r{};
  bool first = true;
  Record::fields(r, [&](const char* name, auto&, FieldKind) {
    out << (first ? "" : ",") << name;
    first = false;
  });
  out << '\n';
}

template <class Record>
void print_row(std::ostream& out, const Record& rec) {
  bool first = true;
  Record::fields(const_cast<Record&>(rec), [&](const char*, auto& field, FieldKind kind) {
    using T = std::remove_cvref_t<decltype(field)>;
    std::string v;
    if constexpr (detail::is_text<T>::value) {
      v = utf8_from_cp1252(field.view());
    } else if constexpr (std::is_floating_point_v<T>) {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.15g", static_cast<double>(field));
      v = buf;
    } else if (kind == FieldKind::Date) {
      v = date_text(static_cast<std::int32_t>(field));
    } else if (kind == FieldKind::Time) {
      v = format_value("T1", static_cast<double>(field));
    } else {
      v = std::to_string(static_cast<long long>(field));
    }
    out << (first ? "" : ",") << csv_cell(v);
    first = false;
  });
  out << '\n';
}

}  // namespace mervane::cli
