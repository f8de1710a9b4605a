// POSIX only: the descriptors 1 and 2 point at unnamed temporary files.
#include "OutputCapture.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace brantok::lumaro::host {

struct OutputCapture::Streams {
  int saved[2] = {-1, -1};
  std::FILE* files[2] = {nullptr, nullptr};
};

namespace {

void FlushAll() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(stdout);
  std::fflush(stderr);
}

} // namespace

OutputCapture::OutputCapture() : streams_(std::make_unique<Streams>()) {
  FlushAll();
  for (int i = 0; i < 2; ++i) {
    const int descriptor = i + 1;
    streams_->files[i] = std::tmpfile();
    if (!streams_->files[i]) continue;
    streams_->saved[i] = dup(descriptor);
    if (streams_->saved[i] < 0 || dup2(fileno(streams_->files[i]), descriptor) < 0) {
      if (streams_->saved[i] >= 0) close(streams_->saved[i]);
      streams_->saved[i] = -1;
      std::fclose(streams_->files[i]);
      streams_->files[i] = nullptr;
    }
  }
}

OutputCapture::~OutputCapture() {
  FlushAll();
  for (int i = 0; i < 2; ++i) {
    if (!streams_->files[i]) continue;
    dup2(streams_->saved[i], i + 1);
    close(streams_->saved[i]);
    std::fclose(streams_->files[i]);
  }
}

std::string OutputCapture::Read(int stream) {
  FlushAll();
  std::string text;
  if (!streams_->files[stream]) return text;
  const int descriptor = fileno(streams_->files[stream]);
  char buffer[4096];
  off_t offset = 0;
  // pread leaves the shared file position, where the writers go on, alone.
  for (ssize_t count; (count = pread(descriptor, buffer, sizeof buffer, offset)) > 0; offset += count) {
    text.append(buffer, static_cast<std::size_t>(count));
  }
  return text;
}

} // namespace brantok::lumaro::host
