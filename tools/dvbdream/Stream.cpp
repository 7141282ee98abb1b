#include "Stream.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zp::viewer {

TransportStream TransportStream::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read stream file " + path);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  return FromBytes(std::move(bytes));
}

TransportStream TransportStream::FromBytes(std::vector<uint8_t> bytes) {
  TransportStream stream;
  stream.trailing_ = bytes.size() % kTsPacketSize;
  bytes.resize(bytes.size() - stream.trailing_);
  stream.bytes_ = std::move(bytes);
  return stream;
}

size_t PacketPacer::Due(double elapsedSeconds) {
  credit_ = std::min(credit_ + rate_ * std::max(elapsedSeconds, 0.0), rate_ / 10 + 1);
  const double whole = std::floor(credit_);
  credit_ -= whole;
  return static_cast<size_t>(whole);
}

}  // namespace zp::viewer
