#pragma once

#include <cstring>
#include <functional>
#include <vector>

#include "module/HostLink.h"

namespace zp::test {

// Plays the viewer for native tests: records every command and answers the
// ones that fill a module variable the way the viewer does.
class RecordingHost : public HostLink {
 public:
  struct Command {
    HostCommandCode code;
    intptr_t argument;
  };

  void Send(HostCommandCode code, intptr_t argument) override {
    commands.push_back({code, argument});
    switch (code) {
      case HostCommandCode::GetCurrentPosition:
        *reinterpret_cast<int32_t*>(argument) = currentPosition;
        break;
      case HostCommandCode::TuneToPosition:
        if (tuneFollows) currentPosition = static_cast<int32_t>(argument);
        break;
      case HostCommandCode::StartPacketFilter: {
        auto* request = reinterpret_cast<PacketFilterRequest*>(argument);
        startedRequests.push_back(*request);
        request->Handle = ++lastHandle;
        if (onStart) onStart();
        break;
      }
      case HostCommandCode::GetChannelTable: {
        const auto address = reinterpret_cast<uintptr_t>(table);
        std::memcpy(reinterpret_cast<void*>(argument), &address, sizeof address);
        break;
      }
      default:
        break;
    }
  }

  std::vector<HostCommandCode> Codes() const {
    std::vector<HostCommandCode> codes;
    for (const auto& c : commands) codes.push_back(c.code);
    return codes;
  }

  std::vector<Command> commands;
  std::vector<PacketFilterRequest> startedRequests;  // copies as sent
  int32_t currentPosition = 0;
  bool tuneFollows = true;  // false: a viewer that refuses to switch
  uint32_t lastHandle = 0x100;
  const HostChannelTable* table = nullptr;
  std::function<void()> onStart;  // runs inside the start command, like a delivery
};

}  // namespace zp::test
