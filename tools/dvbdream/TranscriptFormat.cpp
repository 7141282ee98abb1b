#include "TranscriptFormat.h"

#include <cstring>

namespace zp::viewer {

std::string HexBytes(const void* data, size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::string out;
  out.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0x0F];
  }
  return out;
}

std::string Escaped(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<uint8_t>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || b > 0x7E) {
      out += "\\x" + HexBytes(&b, 1);
    } else {
      out += c;
    }
  }
  return out;
}

std::string Quoted(std::string_view bytes) { return '"' + Escaped(bytes) + '"'; }

std::string_view CommandName(uint32_t code) {
  switch (static_cast<HostCommandCode>(code)) {
    case HostCommandCode::GetCurrentPosition:
      return "GetCurrentPosition";
    case HostCommandCode::TuneToPosition:
      return "TuneToPosition";
    case HostCommandCode::HostInfoQuery:
      return "HostInfoQuery";
    case HostCommandCode::StartPacketFilter:
      return "StartPacketFilter";
    case HostCommandCode::StopPacketFilter:
      return "StopPacketFilter";
    case HostCommandCode::GetChannelTable:
      return "GetChannelTable";
  }
  return {};
}

std::string DescribeRequest(const PacketFilterRequest& request, std::string_view callbackPlace) {
  const std::string_view owner(request.OwnerName,
                               strnlen(request.OwnerName, sizeof request.OwnerName));
  return "size=" + std::to_string(request.Size) + " w4=" + std::to_string(request.Word4) +
         " w6=" + std::to_string(request.Word6) + " callback=" + std::string(callbackPlace) +
         " owner=" + Quoted(owner) + " request=" + HexBytes(&request, sizeof request);
}

std::string DescribeModuleInfo(const uint8_t* buffer, size_t size) {
  if (size < sizeof(ModuleInfoRecord)) return "record=short";
  ModuleInfoRecord info;
  std::memcpy(&info, buffer, sizeof info);
  const std::string_view name(info.Name, strnlen(info.Name, sizeof info.Name));
  bool untouched = true;
  for (size_t i = sizeof info; i < size; ++i) untouched = untouched && buffer[i] == kInfoFill;
  return "name=" + Quoted(name) + " record=" + HexBytes(buffer, sizeof info) +
         " beyond=" + (untouched ? "untouched" : "written");
}

}  // namespace zp::viewer
