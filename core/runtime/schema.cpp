#include "core/runtime/schema.h"

#include <stdexcept>

namespace mervane {

int TableSchema::column_index(const std::string& name) const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string TableSchema::layout() const {
  std::string s = "mervane-table-1";
  for (const auto& c : columns) {
    s += ';';
    s += c.name;
    s += ':';
    s += std::to_string(static_cast<int>(c.kind));
    s += ':';
    s += std::to_string(c.width);
  }
  return s;
}

TableSchema make_schema(std::string store, std::vector<ColumnDef> columns,
                        const std::vector<KeyDef>& keys) {
  TableSchema s;
  s.store = std::move(store);
  s.columns = std::move(columns);
  for (const auto& k : keys) {
    TableSchema::Key key{k, {}};
    for (const auto& name : k.components) {
      const int i = s.column_index(name);
      // A definition naming an unknown field is a programming error, found by the first test.
      if (i < 0) throw std::logic_error("key " + k.name + " names unknown field " + name);
      key.columns.push_back(i);
    }
    s.keys.push_back(std::move(key));
  }
  return s;
}

}  // namespace mervane
