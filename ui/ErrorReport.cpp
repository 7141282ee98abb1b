#include "ui/ErrorReport.h"

#include <algorithm>

namespace zp {

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

void ErrorQueue::Add(const std::string& message) { messages_.push_back(ErrorBoxText(message)); }

std::vector<std::string> ErrorQueue::Take() {
  std::vector<std::string> unique;
  for (auto& text : messages_) {
    if (std::find(unique.begin(), unique.end(), text) == unique.end()) unique.push_back(text);
  }
  messages_.clear();
  return unique;
}

}  // namespace zp
