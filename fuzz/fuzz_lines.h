// The lines of a fuzz input, split at LF as the text reader splits a file (the CR of a CR LF
// stays with the line here: the readers must take it too).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

template <class F>
void for_each_line(const std::uint8_t* data, std::size_t size, F&& f) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t from = 0;
  while (from <= all.size()) {
    std::size_t end = all.find('\n', from);
    if (end == std::string_view::npos) end = all.size();
    f(all.substr(from, end - from));
    from = end + 1;
  }
}
