#include "ae/KeepString.h"
#include "ae/ParameterLayout.h"
#include "ae/SlotMap.h"
#include "ae/controls/ControlParameters.h"
#include "correction/effects/controls/Angle.h"
#include "correction/effects/controls/Checkbox.h"
#include "correction/effects/controls/Choice.h"
#include "correction/effects/controls/ColorPicker.h"
#include "correction/effects/controls/Point.h"
#include "correction/effects/controls/Slider.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace brantok::lumaro::ae {
namespace {

using correction::effects::IControl;
using correction::effects::Position;
using correction::effects::controls::Angle;
using correction::effects::controls::Checkbox;
using correction::effects::controls::Choice;
using correction::effects::controls::ColorPicker;
using correction::effects::controls::Point;
using correction::effects::controls::Slider;

std::shared_ptr<IControl> MakeSlider(const std::string& id) {
  return std::make_shared<Slider>(id, id, 0.0f, 1.0f, 0.5f);
}

// The indices themselves, as hosts and saved projects know them; other tests
// name them through ParameterLayout.
TEST(ParameterLayoutTest, EachControlMapsToItsSlotAndKindAndTheSeventeenthHasNoParameter) {
  std::vector<std::shared_ptr<IControl>> controls{
      MakeSlider("first"),
      std::make_shared<ColorPicker>("tint", "Tint", correction::effects::Color{1, 1, 1, 1}),
      std::make_shared<Point>("p", "P", Position{}, Position{}),
      std::make_shared<Angle>("a", "A", 0.0f, 0.0f),
      std::make_shared<Checkbox>("b", "B", false, false),
      std::make_shared<Choice>("o", "O", std::vector<std::string>{"a", "b"}, 0)};
  std::vector<std::pair<A_long, eControl>> seen;
  ForEachControl(controls, [&](const auto&, A_long index, eControl kind) { seen.emplace_back(index, kind); });
  EXPECT_EQ(seen, (std::vector<std::pair<A_long, eControl>>{{7, eControl::Slider},
                                                            {12, eControl::ColorPicker},
                                                            {23, eControl::Point},
                                                            {27, eControl::Angle},
                                                            {34, eControl::Checkbox},
                                                            {38, eControl::Choice}}));

  std::vector<std::shared_ptr<IControl>> many;
  for (int i = 0; i < 20; ++i) many.push_back(MakeSlider("s" + std::to_string(i)));
  std::vector<A_long> indices;
  ForEachControl(many, [&](const auto&, A_long index, eControl) { indices.push_back(index); });
  ASSERT_EQ(indices.size(), 16u);
  EXPECT_EQ(indices.back(), 6 + 6 * 15 + 1);
}

TEST(KeepStringTest, EqualTextsShareOnePointerUntilCleared) {
  const char* first = KeepString("None|Browse...");
  const std::string copy = "None|Browse...";
  EXPECT_EQ(KeepString(copy), first);
  EXPECT_NE(KeepString("None|Browse..|"), first);
  EXPECT_STREQ(first, "None|Browse...");
  ClearKeptStrings();
}

// Controls a clip's layout does not hold take the free slots in turn, each
// its own; places come in the controls' order.
TEST(SlotMapTest, ControlsNotHeldTakeTheFreeSlotsInTurn) {
  std::vector<std::tuple<std::size_t, A_long, bool>> places;
  for (const auto& place : SlotMap::Of({MakeSlider("a")}).Arrange({MakeSlider("x"), MakeSlider("a"), MakeSlider("y")}))
    places.emplace_back(place.control, place.slot, place.held);
  EXPECT_EQ(places, (decltype(places){{0, 1, false}, {1, 0, true}, {2, 2, false}}));
}

// A point is stored in the layer's pixels, its default shown in percent; a
// layer of unknown size counts as one pixel rather than dividing by 0.
TEST(PointParameterTest, APointGoesThroughTheHostsPixelsAndBack) {
  const lumaro::test::LogCapture log;
  Point point("p", "P", Position{0.25f, 0.75f}, Position{0.25f, 0.75f});
  const auto& parameter = controls::ControlParameters::For(point);
  PF_ParamDef def{};
  parameter.WriteHostValue(def, point, Position{0.25f, 3.0f}, controls::HostFrame{});
  EXPECT_EQ(std::pair(def.u.td.x_value, def.u.td.y_value), std::pair(0x4000, 0x30000));
  EXPECT_EQ(std::pair(def.u.td.x_dephault, def.u.td.y_dephault), std::pair(25 << 16, 75 << 16));
  parameter.ReadHostValue(def, point, controls::HostFrame{});
  EXPECT_EQ(point.GetPosition(), (Position{0.25f, 3.0f}));

  // On a layer of 200 x 100 pixels; the host cannot store 1000 layers across.
  const controls::HostFrame layer{200.0, 100.0};
  parameter.WriteHostValue(def, point, Position{0.5f, 0.25f}, layer);
  EXPECT_EQ(std::pair(def.u.td.x_value, def.u.td.y_value), std::pair(100 << 16, 25 << 16));
  EXPECT_TRUE(log.Lines().empty());
  parameter.WriteHostValue(def, point, Position{1000.0f, 0.25f}, layer);
  EXPECT_EQ(log.Count("Point control 'p' at 1000,0.25 of the frame lies beyond the 32767 pixels"), 1);
}

} // namespace
} // namespace brantok::lumaro::ae
