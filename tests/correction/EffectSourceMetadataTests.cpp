#include "correction/EffectSourceMetadata.h"

#include "correction/effects/IOptionControl.h"
#include "correction/effects/IRangeControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace brantok::lumaro::correction {
namespace {

using effects::IOptionControl;
using effects::IRangeControl;

std::shared_ptr<EffectSourceMetadata> Parse(const std::string& json) {
  return std::make_shared<EffectSourceMetadata>(json);
}

std::shared_ptr<EffectSourceMetadata> ParseControl(const std::string& control) {
  return Parse(R"({"controls": [)" + control + "]}");
}

// The exact text of the JSON library's exception, as callers log it.
std::string ErrorText(const std::string& json) {
  try {
    Parse(json);
  } catch (const std::exception& error) {
    return error.what();
  }
  return "no exception";
}

std::string ControlErrorText(const std::string& control) { return ErrorText(R"({"controls": [)" + control + "]}"); }

TEST(EffectSourceMetadataTest, ReadsTitleKernelAndControlsInOrder) {
  const auto metadata = Parse(R"({
    "title": "Warm Glow", "kernel": "warm_glow", "extra": {"ignored": true},
    "controls": [
      {"class": "slider", "id": "amount", "label": "Amount", "min": -1, "max": 2.5, "default": 0.5},
      {"class": "color", "id": "tint", "label": "Tint", "default": [0, 0, 0, 1]},
      {"class": "choice", "id": "mode", "label": "Mode", "options": ["A", "B", "C"], "default": 2}
    ]})");
  EXPECT_EQ(metadata->GetTitle(), "Warm Glow");
  EXPECT_EQ(metadata->GetEntryPoint(), "warm_glow");
  const auto& controls = metadata->GetControls();
  ASSERT_EQ(controls.size(), 3u);

  // Labels, ranges and options reach the host's panel: the module's parameter tests.
  EXPECT_NE(std::dynamic_pointer_cast<IRangeControl>(controls[0]), nullptr);
  EXPECT_EQ(controls[1]->GetValue(), effects::ControlValue(effects::Color{1, 1, 1, 1})); // its default is ignored
  EXPECT_EQ(std::dynamic_pointer_cast<IOptionControl<int>>(controls[2])->GetSelection(), 2);
}

TEST(EffectSourceMetadataTest, ForgivingAtTheTopLevel) {
  for (const char* json :
       {"{}", "[]", "42", "\"text\"", "null", R"({"title": 5, "kernel": [], "controls": {}})", "\xEF\xBB\xBF{}"}) {
    const auto metadata = Parse(json);
    EXPECT_FALSE(metadata->GetTitle()) << json;
    EXPECT_FALSE(metadata->GetEntryPoint()) << json;
    EXPECT_TRUE(metadata->GetControls().empty()) << json;
  }
}

TEST(EffectSourceMetadataTest, SkipsMalformedControlsSilentlyAndKeepsDuplicates) {
  const auto metadata = Parse(R"({"controls": [
      7,
      {"id": "a", "label": "A", "min": 0, "max": 1, "default": 0},
      {"class": "slider", "label": "A", "min": 0, "max": 1, "default": 0},
      {"class": "slider", "id": 3, "label": "A", "min": 0, "max": 1, "default": 0},
      {"class": "slider", "id": "a", "min": 0, "max": 1, "default": 0},
      {"class": "slider", "id": "a", "label": null, "min": 0, "max": 1, "default": 0},
      {"class": "Slider", "id": "a", "label": "A", "min": 0, "max": 1, "default": 0},
      {"class": "knob", "id": "a", "label": "A"},
      {"class": "color", "id": "kept", "label": "Kept"},
      {"class": "slider", "id": "kept", "label": "Duplicate", "min": 0, "max": 1, "default": 0}
    ]})");
  // Duplicate ids are all kept, in order.
  ASSERT_EQ(metadata->GetControls().size(), 2u);
  EXPECT_EQ(metadata->GetControls()[0]->GetLabel(), "Kept");
  EXPECT_EQ(metadata->GetControls()[1]->GetLabel(), "Duplicate");
}

TEST(EffectSourceMetadataTest, StartingValues) {
  const auto slider = [](const std::string& fields) {
    const auto metadata = ParseControl(R"({"class": "slider", "id": "s", "label": "S", )" + fields + "}");
    return std::dynamic_pointer_cast<IRangeControl>(metadata->GetControls().at(0));
  };
  EXPECT_EQ(slider(R"("min": 0, "max": 1, "default": 0.5)")->GetNumber(), 0.5f);
  EXPECT_EQ(slider(R"("min": 0, "max": 1, "default": 0.5, "initial": 0.25)")->GetNumber(), 0.25f);
  EXPECT_EQ(slider(R"("min": 0, "max": 1, "default": 0.5, "initial": "0.25")")->GetNumber(), 0.5f);
  // Booleans count as numbers for the range itself.
  const auto range = slider(R"("min": true, "max": false, "default": 0)");
  EXPECT_EQ(range->GetMinimum(), 1.0f);
  EXPECT_EQ(range->GetMaximum(), 0.0f);

  const auto choice = [](const std::string& fields) {
    const auto metadata =
        ParseControl(R"({"class": "choice", "id": "c", "label": "C", "options": ["a", "b", "c"], )" + fields + "}");
    return std::dynamic_pointer_cast<IOptionControl<int>>(metadata->GetControls().at(0));
  };
  EXPECT_EQ(choice(R"("default": 0, "initial": 1)")->GetSelection(), 1);
  EXPECT_EQ(choice(R"("default": 0, "initial": 1.0)")->GetSelection(), 0);
  EXPECT_EQ(choice(R"("default": 1.9)")->GetDefaultSelection(), 1);
  EXPECT_EQ(choice(R"("default": -1.9)")->GetDefaultSelection(), -1);
  EXPECT_EQ(choice(R"("default": true)")->GetDefaultSelection(), 1);
  // Far outside the 32-bit range: saturates rather than being undefined.
  EXPECT_EQ(choice(R"("default": 1e30)")->GetDefaultSelection(), 2147483647);
  EXPECT_EQ(choice(R"("default": -1e30)")->GetDefaultSelection(), -2147483647 - 1);
}

TEST(EffectSourceMetadataTest, StrictInsideRecognisedControlsWithTheLibrarysTexts) {
  EXPECT_EQ(ErrorText("{} x"),
            "[json.exception.parse_error.101] parse error at line 1, column 4: syntax error while parsing value - "
            "invalid literal; last read: '{} x'; expected end of input");

  EXPECT_EQ(ControlErrorText(R"({"class": "slider", "id": "s", "label": "S", "max": 1, "default": 0})"),
            "[json.exception.out_of_range.403] key 'min' not found");
  EXPECT_EQ(ControlErrorText(R"({"class": "slider", "id": "s", "label": "S", "min": "0", "max": 1, "default": 0})"),
            "[json.exception.type_error.302] type must be number, but is string");
  for (const char* control :
       {R"({"class": "choice", "id": "c", "label": "C", "default": 0})",
        R"({"class": "choice", "id": "c", "label": "C", "options": ["a", 1], "default": 0})",
        R"({"class": "choice", "id": "c", "label": "C", "options": [], "default": null})",
        // a failure in a later control fails the whole parse
        R"({"class": "color", "id": "ok", "label": "OK"}, {"class": "slider", "id": "bad", "label": "Bad"})"})
    EXPECT_THROW(ParseControl(control), std::exception) << control;
  EXPECT_EQ(ControlErrorText(R"({"class": "choice", "id": "c", "label": "C", "options": [], "default": 0})"),
            "Choice control 'c' has no options");
  // Hosts store angles as 16.16 fixed point: beyond it the kernel would get
  // another angle than the package asked for.
  EXPECT_EQ(ControlErrorText(R"({"class": "angle", "id": "a", "label": "A", "default": 40000})"),
            "Angle control 'a': 40000 degrees lies outside the -32767 to 32767 degrees a host can store");
  EXPECT_THROW(ParseControl(R"({"class": "angle", "id": "a", "label": "A", "default": 0, "initial": -32768})"),
               std::invalid_argument);
  EXPECT_NO_THROW(ParseControl(R"({"class": "angle", "id": "a", "label": "A", "default": -32767})"));
  EXPECT_EQ(ControlErrorText(R"({"class": 1, "id": "s", "label": "S"})"),
            "[json.exception.type_error.302] type must be string, but is number");
}

TEST(EffectSourceMetadataTest, CheckboxAngleAndPointTakeTheirOwnValuesAndRefuseOthers) {
  using effects::ControlValue;
  using effects::Position;
  struct Case {
    std::string control;
    ControlValue start; // empty error: parses, starting at this value
    std::string error;
  };
  const std::string angleError = "Control 'a' needs a default of a finite number of degrees";
  const std::string pointError = "Control 'p' needs a default of [x, y] with finite fractions of the frame";
  const std::vector<Case> cases{
      {R"({"class": "checkbox", "id": "c", "label": "C", "default": true})", true, ""},
      {R"({"class": "checkbox", "id": "c", "label": "C", "default": 0, "initial": 1})", true, ""},
      {R"({"class": "checkbox", "id": "c", "label": "C", "default": 1, "initial": "no"})", true, ""},
      {R"({"class": "checkbox", "id": "c", "label": "C", "default": 2})", false,
       "Control 'c' needs a default of true, false, 0 or 1"},
      {R"({"class": "checkbox", "id": "c", "label": "C"})", false,
       "[json.exception.out_of_range.403] key 'default' not found"},
      {R"({"class": "angle", "id": "a", "label": "A", "default": -450.5})", -450.5f, ""},
      {R"({"class": "angle", "id": "a", "label": "A", "default": 10, "initial": 30})", 30.0f, ""},
      {R"({"class": "angle", "id": "a", "label": "A", "default": "90"})", 0.0f, angleError},
      {R"({"class": "angle", "id": "a", "label": "A", "default": 1e39})", 0.0f, angleError},
      {R"({"class": "point", "id": "p", "label": "P", "default": [0.25, 1.5]})", Position{0.25f, 1.5f}, ""},
      // The largest float is finite.
      {R"({"class": "point", "id": "p", "label": "P", "default": [3.4028234663852886e38, 0]})",
       Position{3.4028234663852886e38f, 0.0f}, ""},
      {R"({"class": "point", "id": "p", "label": "P", "default": [0, 0], "initial": [1, -0.5]})", Position{1.0f, -0.5f},
       ""},
      {R"({"class": "point", "id": "p", "label": "P", "default": [0, 0], "initial": [1]})", Position{0.0f, 0.0f}, ""},
      {R"({"class": "point", "id": "p", "label": "P", "default": [0.5, "top"]})", Position{}, pointError},
      {R"({"class": "point", "id": "p", "label": "P", "default": [0.5]})", Position{}, pointError},
      {R"({"class": "point", "id": "p", "label": "P", "default": {"x": 0.5, "y": 0.5}})", Position{}, pointError},
  };
  for (const auto& [control, start, error] : cases) {
    SCOPED_TRACE(control);
    if (!error.empty()) {
      EXPECT_EQ(ControlErrorText(control), error);
      continue;
    }
    const auto metadata = ParseControl(control);
    ASSERT_EQ(metadata->GetControls().size(), 1u);
    EXPECT_EQ(metadata->GetControls()[0]->GetValue(), start);
  }
}

} // namespace
} // namespace brantok::lumaro::correction
