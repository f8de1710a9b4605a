#pragma once

#include "HostApp.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::host {

// The options of each command, parsed from the arguments after the command's
// name. Options take their value as the next argument or after '='
// (--time=1.5). Unknown options, missing values, values given twice and
// missing required options throw CliError.

struct RenderOptions {
  std::filesystem::path effect;
  std::filesystem::path input;
  std::filesystem::path output;
  bool floatFormat = false; // --format bgra32f
  std::vector<std::string> sets;
  std::optional<double> time;
  std::optional<std::int64_t> frame;
  std::optional<double> duration;
  eHostApp app = eHostApp::PremierePro;
  std::optional<std::filesystem::path> module;
  bool describe = false; // print the title and the values used
};

struct InfoOptions {
  std::filesystem::path effect;
  bool json = false;
  std::optional<std::filesystem::path> module;
};

struct ActionOptions {
  enum class eAction { PressUpdate, PressSync, ChooseNone, ChooseBrowse, ChooseEffect };
  std::optional<std::filesystem::path> effect;
  eAction action = eAction::ChooseNone;
  std::string actionText;    // as given: "press sync", "choose browse"
  std::vector<bool> answers; // --answer, in order; true: yes
  std::optional<std::filesystem::path> chooseFile;
  std::optional<std::filesystem::path> saveFile;
  // Saved over the effect package once the project is open, as the desktop
  // application saves a new version; the panel is refreshed before the action.
  std::optional<std::filesystem::path> newVersion;
  // The project uses a copy of the package, which is deleted after the
  // action; the project is then reopened, as on a machine without the file.
  bool reopenWithoutPackage = false;
  bool json = false;
  std::optional<std::filesystem::path> module;
};

struct SampleOptions {
  std::filesystem::path output;
  int width = 640;
  int height = 360;
};

struct SheetOptions {
  std::filesystem::path output;
  int columns = 2;
  std::vector<std::filesystem::path> images;
  std::vector<std::string> captions; // --caption, in image order
};

RenderOptions ParseRenderOptions(const std::vector<std::string>& arguments);
InfoOptions ParseInfoOptions(const std::vector<std::string>& arguments);
ActionOptions ParseActionOptions(const std::vector<std::string>& arguments);
SampleOptions ParseSampleOptions(const std::vector<std::string>& arguments);
SheetOptions ParseSheetOptions(const std::vector<std::string>& arguments);

} // namespace brantok::lumaro::host
