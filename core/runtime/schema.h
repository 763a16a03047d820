// Declared layouts of keyed tables: their columns and keys.
//
// A record type lists its fields through a static template fields(record, visitor) that calls
// visitor(name, field, kind) once per field in declaration order; the kind tells a date serial or
// a time serial from a plain number. From that list the store derives the table's columns, and a
// table definition adds its keys by field names.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <variant>
#include <vector>

#include "core/util/text.h"

namespace mervane {

enum class FieldKind { Int, Date, Time, Real, Text };

struct ColumnDef {
  std::string name;
  FieldKind kind = FieldKind::Int;
  int width = 0;  // characters of a text, bytes of a number
};

struct KeyDef {
  std::string name;                     // as "CAL:KEY"
  std::vector<std::string> components;  // field names, in key order
  bool unique = false;
  // Records whose key fields are all blank or zero are left out of a key unless it keeps them.
  bool keeps_blank = false;
};

struct TableSchema {
  std::string store;  // store name, as "CALENDAR"
  std::vector<ColumnDef> columns;
  struct Key {
    KeyDef def;
    std::vector<int> columns;  // column indexes of the components
  };
  std::vector<Key> keys;

  int column_index(const std::string& name) const;
  // A text naming every column's name, kind and width: a stored table whose layout text differs
  // was written for another record layout.
  std::string layout() const;
};

// One field value taken out of a record, for key positioning and listings.
using FieldValue = std::variant<std::int64_t, double, std::string>;

namespace detail {

template <class T>
struct is_text : std::false_type {};
template <std::size_t N>
struct is_text<Text<N>> : std::true_type {};

template <class T>
constexpr int field_width() {
  if constexpr (is_text<T>::value) {
    return static_cast<int>(T::width);
  } else {
    return static_cast<int>(sizeof(T));
  }
}

}  // namespace detail

template <class Record>
std::vector<ColumnDef> columns_of() {
  std::vector<ColumnDef> cols;
  Record r{};
  Record::fields(r, [&](const char* name, auto& field, FieldKind kind) {
    using T = std::remove_cvref_t<decltype(field)>;
    cols.push_back({name, kind, detail::field_width<T>()});
  });
  return cols;
}

// Every field of a record as values, in declaration order.
template <class Record>
std::vector<FieldValue> values_of(const Record& rec) {
  std::vector<FieldValue> out;
  Record::fields(const_cast<Record&>(rec), [&](const char*, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if constexpr (detail::is_text<T>::value) {
      out.emplace_back(field.str());
    } else if constexpr (std::is_floating_point_v<T>) {
      out.emplace_back(static_cast<double>(field));
    } else {
      out.emplace_back(static_cast<std::int64_t>(field));
    }
  });
  return out;
}

// Copies into `to` every field of `from` that has the same name and type (a CALENDAR record into
// its preview row or its line of the rebuild file, and back): the layouts name their fields
// alike, so no copy can forget one. The pairing of fields is worked out once per pair of types.
template <class To, class From>
void copy_fields(const From& from, To& to) {
  struct Field {
    std::string name;
    const std::type_info* type;
  };
  static const std::vector<int> source = [] {
    std::vector<Field> in;
    From f{};
    From::fields(f, [&](const char* name, auto& field, FieldKind) {
      in.push_back({name, &typeid(std::remove_cvref_t<decltype(field)>)});
    });
    std::vector<int> map;
    To t{};
    To::fields(t, [&](const char* name, auto& field, FieldKind) {
      int at = -1;
      for (std::size_t j = 0; j < in.size(); ++j)
        if (in[j].name == name && *in[j].type == typeid(std::remove_cvref_t<decltype(field)>))
          at = static_cast<int>(j);
      map.push_back(at);
    });
    return map;
  }();
  std::array<const void*, 64> fields{};  // no record has more fields
  std::size_t n = 0;
  From::fields(const_cast<From&>(from), [&](const char*, auto& field, FieldKind) {
    if (n < fields.size()) fields[n++] = &field;
  });
  std::size_t i = 0;
  To::fields(to, [&](const char*, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if (const int j = source[i++]; j >= 0)
      field = *static_cast<const T*>(fields[static_cast<std::size_t>(j)]);
  });
}

TableSchema make_schema(std::string store, std::vector<ColumnDef> columns,
                        const std::vector<KeyDef>& keys);

}  // namespace mervane
