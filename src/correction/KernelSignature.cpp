#include "correction/KernelSignature.h"

#include <algorithm>

namespace brantok::lumaro::correction {
namespace {

using gpu::eArgumentAccess;
using gpu::eArgumentAddress;
using gpu::KernelArgument;

// One acceptable declaration: any of `types`, passed by value (or, for
// images, with the given access).
struct Expected {
  std::vector<std::string> types;
  eArgumentAccess access = eArgumentAccess::None;
  std::string what; // for the message, e.g. "the input image"
};

Expected ForControl(const effects::IControl& control) {
  return {control.GetKernelTypes(), eArgumentAccess::None, "control '" + control.GetId() + "'"};
}

std::string Needed(const Expected& expected) {
  std::string text;
  for (const auto& type : expected.types) {
    if (!text.empty()) text += "' or '";
    text += (expected.access == eArgumentAccess::ReadOnly    ? "__read_only "
             : expected.access == eArgumentAccess::WriteOnly ? "__write_only "
                                                             : "") +
            type;
  }
  return "'" + text + "'";
}

bool Fits(const KernelArgument& argument, const Expected& expected) {
  if (std::find(expected.types.begin(), expected.types.end(), argument.typeName) == expected.types.end()) return false;
  if (expected.access != eArgumentAccess::None) return argument.access == expected.access;
  return argument.address == eArgumentAddress::Private;
}

} // namespace

std::optional<std::string> KernelSignature::Check(const std::vector<KernelArgument>& arguments,
                                                  const std::vector<std::shared_ptr<effects::IControl>>& controls) {
  std::vector<Expected> expected{{{"image2d_t"}, eArgumentAccess::ReadOnly, "the input image"},
                                 {{"image2d_t"}, eArgumentAccess::WriteOnly, "the output image"},
                                 {{"float"}, eArgumentAccess::None, "the time in seconds"},
                                 {{"int", "uint", "unsigned int"}, eArgumentAccess::None, "the frame index"},
                                 {{"float"}, eArgumentAccess::None, "the duration in seconds"}};
  for (const auto& control : controls) expected.push_back(ForControl(*control));
  if (arguments.size() != expected.size()) {
    return "The kernel declares " + std::to_string(arguments.size()) + " arguments but needs " +
           std::to_string(expected.size()) + " (5 fixed ones and one per control)";
  }
  for (std::size_t index = 0; index < expected.size(); ++index) {
    const auto& argument = arguments[index];
    if (Fits(argument, expected[index])) continue;
    const auto name = argument.name.empty() ? std::string() : " '" + argument.name + "'";
    return "Kernel argument " + std::to_string(index) + name + " is declared '" + argument.Describe() + "' but " +
           expected[index].what + " needs " + Needed(expected[index]);
  }
  return std::nullopt;
}

} // namespace brantok::lumaro::correction
