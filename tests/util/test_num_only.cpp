#include <gtest/gtest.h>

#include "core/util/num_only.h"

namespace mervane {
namespace {

TEST(NumOnly, ReadsTheNumberOutOfAValueText) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"1.5%", 1.5},    {"-0.3", -0.3},  {"250K", 250}, {"<1.2", 1.2},   {"", 0},
               {"1,234K", 1234}, {"-0.2%", -0.2}, {"--5", 5},    {"1.2.3", 1.23}, {"abc", 0}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(num_only(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace mervane
