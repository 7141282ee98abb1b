#pragma once

#include <string>

namespace zp {

// Modal message boxes with an OK button, as the user sees them.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace zp
