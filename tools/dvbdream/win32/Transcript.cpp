#include "Transcript.h"

namespace zp::viewer {

Transcript::Transcript() : uiThread_(GetCurrentThreadId()) {}

bool Transcript::ToFile(const std::string& path) {
  file_.reset(std::fopen(path.c_str(), "wb"));
  return file_ != nullptr;
}

void Transcript::Line(const std::string& text) {
  {
    // The watchdog thread may write the last line while the viewer's thread hangs.
    ExclusiveLock hold(lock_);
    for (std::FILE* out : {stdout_ ? stdout : nullptr, file_.get()}) {
      if (out == nullptr) continue;
      std::fwrite(text.data(), 1, text.size(), out);
      std::fputc('\n', out);
      std::fflush(out);
    }
  }
  if (listener_ && GetCurrentThreadId() == uiThread_) listener_(text);
}

}  // namespace zp::viewer
