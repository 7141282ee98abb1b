#pragma once

#include <string>

namespace zp {

class PacketCapture;

// The hint of a tree node: captions that begin with "D " and a digit n show
// information text n of the last scan; every other caption has no hint.
std::string NodeHint(const std::string& caption, const PacketCapture& capture);

}  // namespace zp
