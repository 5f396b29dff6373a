#include "macro/Recorder.h"

namespace qlk {

bool MacroRecorder::Start(IFiles& files, std::string path) {
  Stop();
  stream_ = files.Create(path);
  if (!stream_) return false;
  path_ = std::move(path);
  return true;
}

void MacroRecorder::Stop() {
  if (stream_) (void)stream_->Close();
  stream_.reset();
}

void MacroRecorder::Write(const std::string& line) {
  if (stream_) (void)stream_->Write(line + "\r\n");
}

}  // namespace qlk
