// Windows only: the C runtime's descriptors 1 and 2, and the process's
// standard handles, point at temporary files. The plug-in module shares the C
// runtime DLL, so its writes follow.
#include "OutputCapture.h"

#include "core/WindowsSupport.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <sys/stat.h>

namespace brantok::lumaro::host {

struct OutputCapture::Streams {
  int saved[2] = {-1, -1};
  int files[2] = {-1, -1};
  HANDLE handles[2] = {nullptr, nullptr};
};

namespace {

constexpr DWORD kStandardHandles[2] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

void FlushAll() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(stdout);
  std::fflush(stderr);
}

// A temporary file that goes away when its last descriptor closes.
int OpenTemporaryFile() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t path[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH || GetTempFileNameW(folder, L"lmh", 0, path) == 0) return -1;
  return _wopen(path, _O_RDWR | _O_BINARY | _O_TRUNC | _O_TEMPORARY, _S_IREAD | _S_IWRITE);
}

} // namespace

OutputCapture::OutputCapture() : streams_(std::make_unique<Streams>()) {
  FlushAll();
  for (int i = 0; i < 2; ++i) {
    const int descriptor = i + 1;
    streams_->handles[i] = GetStdHandle(kStandardHandles[i]);
    streams_->files[i] = OpenTemporaryFile();
    if (streams_->files[i] < 0) continue;
    streams_->saved[i] = _dup(descriptor);
    if (streams_->saved[i] < 0 || _dup2(streams_->files[i], descriptor) < 0) {
      if (streams_->saved[i] >= 0) _close(streams_->saved[i]);
      streams_->saved[i] = -1;
      _close(streams_->files[i]);
      streams_->files[i] = -1;
      continue;
    }
    SetStdHandle(kStandardHandles[i], reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)));
  }
}

OutputCapture::~OutputCapture() {
  FlushAll();
  for (int i = 0; i < 2; ++i) {
    if (streams_->files[i] < 0) continue;
    _dup2(streams_->saved[i], i + 1);
    _close(streams_->saved[i]);
    _close(streams_->files[i]);
    SetStdHandle(kStandardHandles[i], streams_->handles[i]);
  }
}

std::string OutputCapture::Read(int stream) {
  FlushAll();
  std::string text;
  const int descriptor = streams_->files[stream];
  if (descriptor < 0) return text;
  // The descriptors share one file position: read from the start, then put
  // it back where the writers left it.
  const __int64 end = _lseeki64(descriptor, 0, SEEK_CUR);
  _lseeki64(descriptor, 0, SEEK_SET);
  char buffer[4096];
  for (int count; (count = _read(descriptor, buffer, sizeof buffer)) > 0;) {
    for (int i = 0; i < count; ++i) {
      if (buffer[i] != '\r') text.push_back(buffer[i]);
    }
  }
  _lseeki64(descriptor, end, SEEK_SET);
  return text;
}

} // namespace brantok::lumaro::host
