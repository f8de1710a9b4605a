#include "CliOptions.h"

#include "CliError.h"
#include "core/PathText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <set>

namespace brantok::lumaro::host {
namespace {

// Walks "--name value", "--name=value" and flags; each command says what to
// do with each option it knows.
class OptionReader {
public:
  using Handler = std::function<void(const std::string& value)>;

  OptionReader(std::string command, const std::vector<std::string>& arguments) :
      command_(std::move(command)), arguments_(arguments) {}

  void Value(const std::string& name, Handler handler, bool repeatable = false) {
    values_[name] = {std::move(handler), repeatable};
  }
  void Flag(const std::string& name, std::function<void()> handler) { flags_[name] = std::move(handler); }
  // Arguments that are not options; without a handler they are errors.
  void Operands(Handler handler) { operands_ = std::move(handler); }

  void Read() {
    std::set<std::string> seen;
    for (std::size_t i = 0; i < arguments_.size(); ++i) {
      const std::string& argument = arguments_[i];
      if (!argument.starts_with("--")) {
        if (!operands_) throw CliError(command_ + ": unexpected argument '" + argument + "'");
        operands_(argument);
        continue;
      }
      const auto equals = argument.find('=');
      const std::string name = argument.substr(0, equals);
      if (const auto flag = flags_.find(name); flag != flags_.end() && equals == std::string::npos) {
        flag->second();
        continue;
      }
      const auto value = values_.find(name);
      if (value == values_.end()) throw CliError(command_ + ": unknown option '" + name + "'");
      if (!value->second.repeatable && !seen.insert(name).second) {
        throw CliError(command_ + ": option " + name + " given twice");
      }
      if (equals != std::string::npos) {
        value->second.handler(argument.substr(equals + 1));
      } else if (i + 1 < arguments_.size()) {
        value->second.handler(arguments_[++i]);
      } else {
        throw CliError(command_ + ": option " + name + " needs a value");
      }
    }
  }

private:
  struct ValueOption {
    Handler handler;
    bool repeatable;
  };
  std::string command_;
  const std::vector<std::string>& arguments_;
  std::map<std::string, ValueOption> values_;
  std::map<std::string, std::function<void()>> flags_;
  Handler operands_;
};

double Seconds(const std::string& option, const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    throw CliError(option + " needs a number of seconds, not '" + text + "'");
  }
  return value;
}

std::int64_t Whole(const std::string& option, const std::string& text, std::int64_t minimum, std::int64_t maximum) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < minimum || value > maximum) {
    throw CliError(option + " needs a whole number from " + std::to_string(minimum) + " to " + std::to_string(maximum) +
                   ", not '" + text + "'");
  }
  return value;
}

std::filesystem::path PathArgument(const std::string& option, const std::string& text) {
  if (text.empty()) throw CliError(option + " needs a path");
  return core::PathFromUtf8(text);
}

void Require(const std::string& command, const std::filesystem::path& path, const char* option) {
  if (path.empty()) throw CliError(command + " needs " + option);
}

} // namespace

RenderOptions ParseRenderOptions(const std::vector<std::string>& arguments) {
  RenderOptions options;
  OptionReader reader("render", arguments);
  reader.Value("--effect", [&](const std::string& v) { options.effect = PathArgument("--effect", v); });
  reader.Value("--input", [&](const std::string& v) { options.input = PathArgument("--input", v); });
  reader.Value("--output", [&](const std::string& v) { options.output = PathArgument("--output", v); });
  reader.Value("--module", [&](const std::string& v) { options.module = PathArgument("--module", v); });
  reader.Value("--format", [&](const std::string& v) {
    if (v != "bgra8" && v != "bgra32f") throw CliError("unknown --format '" + v + "' (bgra8 or bgra32f)");
    options.floatFormat = v == "bgra32f";
  });
  reader.Value("--host", [&](const std::string& v) {
    if (v != "premiere" && v != "aftereffects") throw CliError("unknown --host '" + v + "' (premiere or aftereffects)");
    options.app = v == "premiere" ? eHostApp::PremierePro : eHostApp::AfterEffects;
  });
  reader.Value(
      "--set", [&](const std::string& v) { options.sets.push_back(v); }, true);
  reader.Value("--time", [&](const std::string& v) { options.time = Seconds("--time", v); });
  reader.Value("--duration", [&](const std::string& v) { options.duration = Seconds("--duration", v); });
  reader.Value("--frame", [&](const std::string& v) { options.frame = Whole("--frame", v, 0, INT32_MAX); });
  reader.Flag("--describe", [&] { options.describe = true; });
  reader.Read();
  Require("render", options.effect, "--effect PKG");
  Require("render", options.input, "--input IN.png");
  Require("render", options.output, "--output OUT.png");
  return options;
}

InfoOptions ParseInfoOptions(const std::vector<std::string>& arguments) {
  InfoOptions options;
  OptionReader reader("info", arguments);
  reader.Value("--effect", [&](const std::string& v) { options.effect = PathArgument("--effect", v); });
  reader.Value("--module", [&](const std::string& v) { options.module = PathArgument("--module", v); });
  reader.Flag("--json", [&] { options.json = true; });
  reader.Read();
  Require("info", options.effect, "--effect PKG");
  return options;
}

ActionOptions ParseActionOptions(const std::vector<std::string>& arguments) {
  using eAction = ActionOptions::eAction;
  ActionOptions options;
  bool chosen = false;
  OptionReader reader("action", arguments);
  reader.Value("--effect", [&](const std::string& v) { options.effect = PathArgument("--effect", v); });
  reader.Value("--module", [&](const std::string& v) { options.module = PathArgument("--module", v); });
  reader.Value("--choose-file", [&](const std::string& v) { options.chooseFile = PathArgument("--choose-file", v); });
  reader.Value("--save-file", [&](const std::string& v) { options.saveFile = PathArgument("--save-file", v); });
  reader.Value("--new-version", [&](const std::string& v) { options.newVersion = PathArgument("--new-version", v); });
  // --press and --choose are one user action between them.
  const auto action = [&](const std::string& option, const std::map<std::string, eAction>& known) {
    return [&, option, known](const std::string& v) {
      const auto found = known.find(v);
      if (found == known.end()) {
        std::string names;
        for (const auto& [name, value] : known) names += (names.empty() ? "" : "|") + name;
        throw CliError("unknown " + option + " '" + v + "' (" + names + ")");
      }
      if (chosen) throw CliError("action: give one of --press and --choose, once");
      chosen = true;
      options.action = found->second;
      options.actionText = option.substr(2) + " " + v;
    };
  };
  reader.Value("--press", action("--press", {{"update", eAction::PressUpdate}, {"sync", eAction::PressSync}}));
  reader.Value("--choose", action("--choose", {{"none", eAction::ChooseNone},
                                               {"browse", eAction::ChooseBrowse},
                                               {"effect", eAction::ChooseEffect}}));
  reader.Value(
      "--answer",
      [&](const std::string& v) {
        if (v != "yes" && v != "no") throw CliError("unknown --answer '" + v + "' (yes or no)");
        options.answers.push_back(v == "yes");
      },
      true);
  reader.Flag("--json", [&] { options.json = true; });
  reader.Flag("--reopen-without-package", [&] { options.reopenWithoutPackage = true; });
  reader.Read();
  if (!chosen) throw CliError("action needs --press update|sync or --choose none|browse|effect");
  if (options.newVersion && !options.effect) throw CliError("action: --new-version needs --effect PKG");
  if (options.reopenWithoutPackage && !options.effect) {
    throw CliError("action: --reopen-without-package needs --effect PKG");
  }
  return options;
}

SampleOptions ParseSampleOptions(const std::vector<std::string>& arguments) {
  SampleOptions options;
  OptionReader reader("sample", arguments);
  reader.Value("--output", [&](const std::string& v) { options.output = PathArgument("--output", v); });
  reader.Value("--width",
               [&](const std::string& v) { options.width = static_cast<int>(Whole("--width", v, 1, 8192)); });
  reader.Value("--height",
               [&](const std::string& v) { options.height = static_cast<int>(Whole("--height", v, 1, 8192)); });
  reader.Read();
  Require("sample", options.output, "--output OUT.png");
  return options;
}

SheetOptions ParseSheetOptions(const std::vector<std::string>& arguments) {
  SheetOptions options;
  OptionReader reader("sheet", arguments);
  reader.Value("--output", [&](const std::string& v) { options.output = PathArgument("--output", v); });
  reader.Value("--columns",
               [&](const std::string& v) { options.columns = static_cast<int>(Whole("--columns", v, 1, 64)); });
  reader.Value(
      "--caption", [&](const std::string& v) { options.captions.push_back(v); }, true);
  reader.Operands([&](const std::string& v) { options.images.push_back(PathArgument("an image", v)); });
  reader.Read();
  Require("sheet", options.output, "--output OUT.png");
  if (options.images.empty()) throw CliError("sheet needs at least one image");
  return options;
}

} // namespace brantok::lumaro::host
