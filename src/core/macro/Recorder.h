#pragma once
// Macro recording: one open macro file while recording is on.
#include <memory>
#include <string>

#include "platform/Files.h"

namespace qlk {

class MacroRecorder {
 public:
  ~MacroRecorder() { Stop(); }
  bool Recording() const { return stream_ != nullptr; }
  const std::string& Path() const { return path_; }
  // Opens (replaces) the file; false when it cannot be created, recording then stays off.
  bool Start(IFiles& files, std::string path);
  // Closes the file; the recorded macro is complete from here on.
  void Stop();
  // One line; the file gets CR LF after it. Failed writes are not reported, as before.
  void Write(const std::string& line);

 private:
  std::string path_;
  std::unique_ptr<IWriteFile> stream_;
};

}  // namespace qlk
