// Texts joined into one string, sized once.
//
// Prefer it to chains of + that start with a short literal and a temporary string, as in
// "'" + std::string(text) + "' is ...": GCC 12 warns about those in optimized builds
// (-Wrestrict, a false alarm about an overlapping copy), which stops a Release build with
// warnings as errors.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace mervane {

inline std::string concat(std::initializer_list<std::string_view> parts) {
  std::size_t n = 0;
  for (std::string_view p : parts) n += p.size();
  std::string out;
  out.reserve(n);
  for (std::string_view p : parts) out += p;
  return out;
}

}  // namespace mervane
