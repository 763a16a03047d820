#include "core/runtime/platform.h"

#include <cstdlib>

namespace mervane {

std::optional<std::string> environment_value(std::string_view name) {
  const char* v = std::getenv(std::string(name).c_str());
  if (v == nullptr || *v == '\0') return std::nullopt;
  return std::string(v);
}

}  // namespace mervane
