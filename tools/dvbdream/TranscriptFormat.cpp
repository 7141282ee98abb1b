#include "TranscriptFormat.h"

#include <cstring>

namespace zp::viewer {

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
