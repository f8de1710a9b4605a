#include "correction/EffectOutcome.h"

#include "core/Logger.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace brantok::lumaro::correction {
namespace {

constexpr std::string_view kOpening = "Effect '";
constexpr std::string_view kReady = "' is ready to render";
constexpr std::string_view kCannotRun = "' cannot run: ";

// One line each, whatever a title or a driver's message holds.
std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return text;
}

} // namespace

EffectOutcome::EffectOutcome(bool ready, std::string name, std::string reason) :
    ready_(ready), name_(OneLine(std::move(name))), reason_(OneLine(std::move(reason))) {}

EffectOutcome EffectOutcome::Ready(std::string name) { return EffectOutcome(true, std::move(name), {}); }

EffectOutcome EffectOutcome::CannotRun(std::string name, std::string reason) {
  if (reason.empty()) reason = "unknown reason";
  return EffectOutcome(false, std::move(name), std::move(reason));
}

std::string EffectOutcome::Line() const {
  return std::string(kOpening) + name_ + std::string(ready_ ? kReady : kCannotRun) + reason_;
}

void EffectOutcome::Log() const {
  core::Logger::Log(Line(), ready_ ? core::eLogChannel::Info : core::eLogChannel::Error);
}

std::optional<EffectOutcome> EffectOutcome::FindLast(const std::string& log) {
  std::optional<EffectOutcome> last;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.starts_with(kOpening)) continue;
    const std::string_view rest = std::string_view(line).substr(kOpening.size());
    if (rest.ends_with(kReady)) {
      last = Ready(std::string(rest.substr(0, rest.size() - kReady.size())));
    } else if (const auto at = rest.find(kCannotRun); at != std::string_view::npos) {
      last = CannotRun(std::string(rest.substr(0, at)), std::string(rest.substr(at + kCannotRun.size())));
    }
  }
  return last;
}

} // namespace brantok::lumaro::correction
