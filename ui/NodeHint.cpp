#include "ui/NodeHint.h"

#include "feed/PacketCapture.h"

namespace zp {

std::string NodeHint(const std::string& caption, const PacketCapture& capture) {
  if (caption.size() < 3 || caption[0] != 'D' || caption[1] != ' ') return {};
  const char digit = caption[2];
  // Only a digit names a text; anything else after "D " has no hint.
  if (digit < '0' || digit > '9') return {};
  return capture.InfoText(digit - '0');
}

}  // namespace zp
