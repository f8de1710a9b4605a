#include "LogCapture.h"

namespace brantok::lumaro::test {

LogCapture::LogCapture() : shared_(std::make_shared<Shared>()) {
  core::Logger::RemoveHandlers();
  core::Logger::AddHandler([shared = shared_](core::eLogChannel channel, const std::string& message) {
    std::lock_guard lock(shared->mutex);
    shared->entries.emplace_back(channel, message);
  });
}

LogCapture::~LogCapture() { core::Logger::RemoveHandlers(); }

std::vector<std::pair<core::eLogChannel, std::string>> LogCapture::Entries() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->entries;
}

std::vector<std::string> LogCapture::Lines() const {
  std::vector<std::string> lines;
  for (auto& entry : Entries()) lines.push_back(entry.second);
  return lines;
}

int LogCapture::Count(const std::string& text) const {
  int count = 0;
  for (const auto& line : Lines()) count += line.find(text) != std::string::npos ? 1 : 0;
  return count;
}

} // namespace brantok::lumaro::test
