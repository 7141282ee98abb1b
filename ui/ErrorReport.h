#pragma once

#include <string>
#include <vector>

namespace zp {

// The text of the error box: the message, with "." appended when the message
// is not empty and its last character sorts after ".".
std::string ErrorBoxText(const std::string& message);

// Errors raised inside a window event, kept until the event is over so that a
// modal box never opens in the middle of a tree build or a scan step. The same
// text is shown once per batch.
class ErrorQueue {
 public:
  void Add(const std::string& message);
  // The pending box texts in the order raised, without repeats; clears the queue.
  std::vector<std::string> Take();
  bool Empty() const { return messages_.empty(); }

 private:
  std::vector<std::string> messages_;
};

}  // namespace zp
