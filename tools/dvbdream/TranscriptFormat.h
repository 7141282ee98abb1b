#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "module/HostInterface.h"
#include "tools/common/Text.h"

// Pieces of the stand-in viewer's transcript that tests compare: one stable
// spelling for every value. README.md in this folder lists the line formats.
namespace zp::viewer {

// Lower-case hex, two digits per byte, no separators.
inline std::string HexBytes(const void* data, size_t size) { return tools::Hex(data, size); }

// Bytes as printable text: \\, \" and \xhh for bytes outside 0x20..0x7E.
using tools::Escaped;
std::string Quoted(std::string_view bytes);

// "HostInfoQuery" etc., or "" for a code the viewer does not know.
std::string_view CommandName(uint32_t code);

// The decoded fields and all 187 bytes of a request as the module sent it.
// callbackPlace says where the Callback address points ("module", "null", "outside").
std::string DescribeRequest(const PacketFilterRequest& request, std::string_view callbackPlace);

// OnGetModuleInfo's record: the name, the 114 bytes, and whether the module
// wrote into the bytes after them (the viewer pre-fills its buffer to see it).
inline constexpr uint8_t kInfoFill = 0xCC;
std::string DescribeModuleInfo(const uint8_t* buffer, size_t size);

}  // namespace zp::viewer
