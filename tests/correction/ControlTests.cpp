#include "correction/effects/controls/Angle.h"
#include "correction/effects/controls/Checkbox.h"
#include "correction/effects/controls/Choice.h"
#include "correction/effects/controls/ColorPicker.h"
#include "correction/effects/controls/Point.h"
#include "correction/effects/controls/Slider.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <utility>

namespace brantok::lumaro::correction::effects {
namespace {

using controls::Angle;
using controls::Checkbox;
using controls::Choice;
using controls::ColorPicker;
using controls::Point;
using controls::Slider;

TEST(ControlTest, SetValueAcceptsOnlyTheControlsOwnAlternative) {
  Slider slider("s", "S", 0.0f, 1.0f, 0.5f);
  EXPECT_FALSE(slider.SetValue(std::int32_t{1}));
  EXPECT_FALSE(slider.SetValue(Color{1, 1, 1, 1}));
  EXPECT_EQ(slider.GetNumber(), 0.5f);
  EXPECT_TRUE(slider.SetValue(0.25f));
  EXPECT_EQ(slider.GetNumber(), 0.25f);

  Choice choice("c", "C", {"a", "b"}, 1);
  EXPECT_FALSE(choice.SetValue(1.0f));
  EXPECT_EQ(choice.GetSelection(), 1);
  EXPECT_TRUE(choice.SetValue(std::int32_t{0}));
  EXPECT_EQ(choice.GetSelection(), 0);

  ColorPicker picker("p", "P", Color{1, 1, 1, 1});
  EXPECT_FALSE(picker.SetValue(0.5f));
  EXPECT_TRUE(picker.SetValue(Color{0.1f, 0.2f, 0.3f, 0.4f}));
  EXPECT_EQ(picker.GetColor(), (Color{0.1f, 0.2f, 0.3f, 0.4f}));
  EXPECT_EQ(picker.GetDefaultColor(), (Color{1, 1, 1, 1}));
  EXPECT_EQ(std::get<Color>(picker.GetValue()), (Color{0.1f, 0.2f, 0.3f, 0.4f}));

  // A checkbox, an angle and a point take only a bool, a float and a Position.
  Checkbox checkbox("b", "B", false, false);
  Angle angle("a", "A", 10.0f, 10.0f);
  Point point("t", "T", Position{}, Position{});
  for (IControl* control : std::initializer_list<IControl*>{&checkbox, &angle, &point}) {
    const auto before = control->GetValue();
    for (const ControlValue& other : {ControlValue(true), ControlValue(90.0f), ControlValue(Position{0.1f, 0.2f})}) {
      EXPECT_EQ(control->SetValue(other), other.index() == before.index()) << control->GetId();
    }
  }
  EXPECT_TRUE(checkbox.IsChecked());
  EXPECT_EQ(angle.GetDegrees(), 90.0f);
  EXPECT_EQ(point.GetPosition(), (Position{0.1f, 0.2f}));
}

// A new version's range holds a value carried over, also a range of one value.
TEST(ControlTest, ACarriedValueMovesIntoTheNewRangeOrIsNotTaken) {
  const Slider old("s", "S", 0.0f, 10.0f, 8.0f);
  for (const auto& [minimum, maximum, carried] :
       {std::tuple{0.0f, 5.0f, 5.0f}, {2.0f, 2.0f, 2.0f}, {0.0f, 9.0f, 8.0f}}) {
    Slider slider("s", "S", minimum, maximum, minimum);
    slider.CarryValueFrom(old);
    EXPECT_EQ(slider.GetNumber(), carried) << minimum << " to " << maximum;
  }
  // The first option is carried; a selection past the old options names none.
  for (const auto& [selection, carried] : {std::pair{0, 0}, {2, 1}}) {
    Choice oldChoice("c", "C", {"a", "b"}, selection), choice("c", "C", {"a", "b", "c"}, 1);
    choice.CarryValueFrom(oldChoice);
    EXPECT_EQ(choice.GetSelection(), carried) << selection;
  }
}

} // namespace
} // namespace brantok::lumaro::correction::effects
