#pragma once

#include <memory>
#include <string>

namespace brantok::lumaro::host {

// Sends this process's standard output and standard error to temporary files
// for as long as it lives. The plug-in writes its log to both streams (and its
// GPU compiler writes to standard error); kept apart, they can neither break
// the program's own output (`info --json`) nor its one-line error, while the
// plug-in's error lines stay readable through Errors(). When the streams
// cannot be redirected, nothing is captured and the program runs on.
class OutputCapture {
public:
  OutputCapture();
  ~OutputCapture();
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

  // Everything written to standard error, or standard output, since the
  // capture began.
  std::string Errors() { return Read(1); }
  std::string Output() { return Read(0); }

private:
  std::string Read(int stream);

  struct Streams;
  std::unique_ptr<Streams> streams_;
};

} // namespace brantok::lumaro::host
