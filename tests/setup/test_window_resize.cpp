// How the controls of a fixed-layout window follow its size.
#include <gtest/gtest.h>

#include "core/setup/window_resize.h"

namespace mervane {
namespace {

namespace rk = resize_kind;
using Input = WindowResizeType::Input;

// A window of 200 x 100 at (30, 40) with one control of each interesting kind.
class Resize : public ::testing::Test {
 protected:
  enum : int { kPrompt = 1, kEntry, kOkButton, kLeftButton, kCheck, kList, kString1, kBottom };
  void SetUp() override {
    w.initialize(WindowResizeType::kSpreadStrategy, kWindow,
                 {
                     {kPrompt, rk::kPrompt, {10, 10, 40, 10}},
                     {kEntry, rk::kEntry, {60, 10, 100, 12}},
                     {kOkButton, rk::kButton, {150, 80, 40, 14}},   // near the right edge
                     {kLeftButton, rk::kButton, {10, 30, 40, 14}},  // in the left half
                     {kCheck, rk::kCheck, {60, 30, 50, 10}},
                     {kList, rk::kList, {10, 50, 120, 40}},
                     {kString1, rk::kString, {140, 50, 1, 8}},
                     {kBottom, rk::kButton, {10, 84, 30, 14}},  // near the bottom edge
                 });
  }
  static constexpr Rect kWindow{30, 40, 200, 100};
  WindowResizeType w;
};

TEST_F(Resize, BackAtTheInitialSizeEveryControlIsBackInPlace) {
  const std::vector<WindowResizeType::Control> initial = w.controls();
  for (Rect size : {Rect{30, 40, 333, 171}, Rect{30, 40, 97, 61}, Rect{0, 0, 251, 100},
                    Rect{30, 40, 200, 100}}) {
    w.resize(size);
  }
  for (const auto& c : w.controls()) {
    EXPECT_EQ(c.now, c.initial) << c.number;
    EXPECT_EQ(w.place(c.number), c.initial);
  }
  EXPECT_EQ(w.controls().size(), initial.size());
}

TEST_F(Resize, AMoveWithoutANewSizeMovesNothing) {
  ASSERT_TRUE(w.resize({30, 40, 300, 150}));
  const Rect entry = w.place(kEntry);
  EXPECT_FALSE(w.resize({500, 600, 300, 150}));
  EXPECT_EQ(w.place(kEntry), entry);
  EXPECT_EQ(w.previous(), (Rect{30, 40, 300, 150}));  // nothing more is done at all
  EXPECT_EQ(w.original(), kWindow);
}

TEST_F(Resize, SpreadRulesPerKind) {
  ASSERT_TRUE(w.resize({30, 40, 300, 150}));  // scales 1.5 and 1.5
  struct Case {
    int control;
    Rect at;
    const char* why;
  };
  const Case cases[] = {
      {kPrompt, {15, 15, 60, 15}, "a prompt scales in every way"},
      {kEntry, {90, 15, 150, 12}, "an entry widens but keeps its height"},
      {kOkButton, {250, 130, 40, 14}, "right and bottom distances and the size kept"},
      {kLeftButton, {10, 30, 40, 14}, "left and top distances kept, size kept"},
      {kCheck, {90, 45, 50, 10}, "a check box moves with the window and keeps its size"},
      {kList, {15, 75, 180, 60}, "a list scales"},
      {kString1, {210, 75, 1, 12}, "a one-unit text string keeps its width"},
      {kBottom, {10, 134, 30, 14}, "near the bottom: the bottom distance kept"},
  };
  for (const Case& c : cases) EXPECT_EQ(w.place(c.control), c.at) << c.why;
}

TEST_F(Resize, GrowingInWidthOnlyLeavesEveryYAndHeight) {
  ASSERT_TRUE(w.resize({30, 40, 260, 100}));  // x scale 1.3, y scale 1
  for (const auto& c : w.controls()) {
    EXPECT_EQ(c.now.y, c.initial.y) << c.number;
    EXPECT_EQ(c.now.h, c.initial.h) << c.number;
  }
  EXPECT_EQ(w.place(kOkButton).x, 210);  // 260 - (200 - 150)
  EXPECT_EQ(w.place(kEntry), (Rect{78, 10, 130, 12}));
}

TEST_F(Resize, ResultsAreTruncatedAndScalesHeldToFourDecimals) {
  // 200 -> 233: scale 1.165; 100 -> 77: scale 0.77.
  ASSERT_TRUE(w.resize({0, 0, 233, 77}));
  EXPECT_EQ(w.place(kEntry), (Rect{69, 7, 116, 12}));  // 69.9, 7.7, 116.5 truncated
  EXPECT_EQ(w.place(kList), (Rect{11, 38, 139, 30}));  // 11.65, 38.5, 139.8, 30.8
}

TEST(ResizeScale, HeldToFourDecimals) {
  WindowResizeType w;
  w.initialize(1, {0, 0, 7, 7}, {{1, rk::kPrompt, {7000, 0, 10, 10}}});
  ASSERT_TRUE(w.resize({0, 0, 3, 7}));  // 3 / 7 = 0.428571... held as 0.4286
  EXPECT_EQ(w.place(1).x, 3000);        // 7000 x 0.4286 = 3000.2, not 2999.99
}

TEST(ResizeStrategy, TheResizeStrategyAndUnknownOnesScaleEveryControl) {
  for (int strategy : {1, 0, 7}) {
    WindowResizeType w;
    w.initialize(strategy, {0, 0, 100, 100},
                 {{1, rk::kButton, {80, 80, 10, 10}}, {2, rk::kEntry, {10, 10, 50, 10}}});
    ASSERT_TRUE(w.resize({0, 0, 200, 50}));
    EXPECT_EQ(w.place(1), (Rect{160, 40, 20, 5})) << strategy;
    EXPECT_EQ(w.place(2), (Rect{20, 5, 100, 5})) << strategy;
  }
}

TEST(ResizeStrategy, KeptPositionAndCentreLine) {
  WindowResizeType w;
  w.initialize(2, {0, 0, 100, 100},
               {{1, rk::kImage, {20, 20, 10, 10}},
                {2, rk::kImage, {60, 60, 10, 10}},
                {3, rk::kImage, {60, 60, 10, 10}}});
  w.set_strategy(1, resize_rule::kKeep | resize_rule::kKeep << 8, 0);
  w.set_strategy(2, resize_rule::kCentre | resize_rule::kCentre << 8, 0);
  w.set_strategy(3, resize_rule::kCentre, resize_rule::kKeepWidth);
  ASSERT_TRUE(w.resize({0, 0, 300, 200}));
  EXPECT_EQ(w.place(1), (Rect{20, 20, 30, 20}));
  EXPECT_EQ(w.place(2), (Rect{180, 120, 30, 20}));  // 150 + 10 x 3, 100 + 10 x 2
  EXPECT_EQ(w.place(3), (Rect{160, 120, 10, 20}));  // 150 + 10 with the width kept
}

TEST(ResizeStrategy, MenusAreLeftOutAndTheListIsSortedByNumber) {
  WindowResizeType w;
  w.initialize(2, {0, 0, 100, 100},
               {{5, rk::kEntry, {}},
                {2, rk::kMenu, {}},
                {3, rk::kMenuItem, {}},
                {4, rk::kNone, {}},
                {1, rk::kPrompt, {}}});
  ASSERT_EQ(w.controls().size(), 2u);
  EXPECT_EQ(w.controls()[0].number, 1);
  EXPECT_EQ(w.controls()[1].number, 5);
  EXPECT_EQ(w.controls()[1].resize, resize_rule::kKeepHeight);
  w.destroy();
  EXPECT_TRUE(w.controls().empty());
}

TEST(ResizeStrategy, ControlKindsMapToTheirCodes) {
  EXPECT_EQ(resize_kind_of(ControlKind::Entry), rk::kEntry);
  EXPECT_EQ(resize_kind_of(ControlKind::Button), rk::kButton);
  EXPECT_EQ(resize_kind_of(ControlKind::Check), rk::kCheck);
  EXPECT_EQ(resize_kind_of(ControlKind::Option), rk::kRadio);
  EXPECT_EQ(resize_kind_of(ControlKind::DropList), rk::kDropList);
  EXPECT_EQ(resize_kind_of(ControlKind::Symbol), rk::kString);
  EXPECT_EQ(resize_kind_of(ControlKind::Display), rk::kString);
}

}  // namespace
}  // namespace mervane
