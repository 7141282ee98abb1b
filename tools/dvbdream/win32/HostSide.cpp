#include "HostSide.h"

#include <cstddef>
#include <cstring>

#include "TranscriptFormat.h"

namespace zp::viewer {

namespace {

// What the viewer answers to HostInfoQuery after the size field: a version and its name.
constexpr uint32_t kViewerVersion = 0x00010005;
constexpr char kViewerName[] = "DVBDream";

std::string AddressArg(LPARAM argument) { return argument == 0 ? "arg=null" : "arg=addr"; }

// Whether a value of the 64-bit twin's wide message fields fits the viewer's 32 bits.
template <class T>
bool Fits32(T value) {
  if constexpr (sizeof(T) > 4) {
    return static_cast<uint64_t>(value) <= 0xFFFFFFFFu;
  } else {
    return true;
  }
}

}  // namespace

HostSide::HostSide(Transcript& transcript, const ChannelList& list,
                   std::vector<TransportStream> streams, HostChannelTable& table)
    : transcript_(transcript), list_(list), streams_(std::move(streams)), table_(table) {
  FillChannelTable(list_, table_);
  const int start = StartPosition(list_);
  if (!Tune(start)) position_ = start;
}

HostSide::~HostSide() { StopAll("viewer"); }

LRESULT HostSide::Command(WPARAM code, LPARAM argument) {
  lastCommand_ = GetTickCount();
  const std::string_view name = Fits32(code) ? CommandName(static_cast<uint32_t>(code)) : "";
  if (name.empty()) {
    char text[80];
    std::snprintf(text, sizeof text, "cmd unknown code=0x%llX arg=%lld",
                  static_cast<unsigned long long>(code), static_cast<long long>(argument));
    transcript_.Line(text);
    return 0;
  }
  // Commands belong to the thread that runs the module's windows, never to the callback.
  if (InSendMessage()) {
    transcript_.Line("violation " + std::string(name) + " sent from another thread");
  } else if (inUiDelivery_) {
    transcript_.Line("violation " + std::string(name) + " sent from inside the packet callback");
  }
  std::string line = "cmd " + std::string(name) + ' ';
  void* address = reinterpret_cast<void*>(argument);
  switch (static_cast<HostCommandCode>(code)) {
    case HostCommandCode::HostInfoQuery:
      line += AddressArg(argument);
      if (address != nullptr) HostInfoQuery(address, line);
      break;
    case HostCommandCode::GetChannelTable: {
      line += AddressArg(argument);
      if (address == nullptr) break;
      const auto where = reinterpret_cast<uintptr_t>(&table_);
      // The viewer's records carry 32-bit addresses; the table lives low in the image.
      const uint32_t value = Fits32(where) ? static_cast<uint32_t>(where) : 0;
      if (value == 0) line += " table=unreachable";
      std::memcpy(address, &value, sizeof value);
      break;
    }
    case HostCommandCode::StartPacketFilter:
      line += AddressArg(argument);
      if (address == nullptr) break;
      // Written before the delivery starts, so that it precedes anything the delivery writes.
      StartPacketFilter(address, line);
      return 0;
    case HostCommandCode::StopPacketFilter:
      StopPacketFilter(argument, line);
      return 0;
    case HostCommandCode::TuneToPosition:
      line += "arg=" + std::to_string(static_cast<long long>(argument));
      if (argument < 0 || argument >= kHostChannelCount || !Tune(static_cast<int>(argument))) {
        line += " refused";
      }
      break;
    case HostCommandCode::GetCurrentPosition:
      line += AddressArg(argument);
      if (address == nullptr) break;
      std::memcpy(address, &position_, sizeof(int32_t));
      line += " position=" + std::to_string(position_);
      break;
  }
  transcript_.Line(line);
  return 0;
}

void HostSide::HostInfoQuery(void* buffer, std::string& line) {
  uint32_t size = 0;
  std::memcpy(&size, buffer, sizeof size);
  line += " size=" + std::to_string(size);
  // A buffer that says it is smaller than the reply is not written to.
  if (size < kHostInfoQuerySize) {
    line += " reply=refused";
    return;
  }
  uint8_t reply[kHostInfoQuerySize - 4] = {};
  std::memcpy(reply, &kViewerVersion, sizeof kViewerVersion);
  std::memcpy(reply + 4, kViewerName, sizeof kViewerName - 1);
  std::memcpy(static_cast<uint8_t*>(buffer) + 4, reply, sizeof reply);
  line += " reply=filled";
}

std::string HostSide::CallbackPlace(uint32_t callback) const {
  if (callback == 0) return "null";
  HMODULE owner = nullptr;
  const bool found = GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(callback)), &owner);
  return found && owner == module_ ? "module" : "outside";
}

void HostSide::StartPacketFilter(void* requestAddress, const std::string& line) {
  PacketFilterRequest request;
  std::memcpy(&request, requestAddress, sizeof request);
  const std::string place = CallbackPlace(request.Callback);
  // Only a callback inside the module is ever called: anything else would
  // crash the viewer instead of showing the fault.
  if (place != "module") {
    transcript_.Line(line + " refused " + DescribeRequest(request, place));
    return;
  }
  const uint32_t handle = nextHandle_++;
  std::memcpy(static_cast<uint8_t*>(requestAddress) + offsetof(PacketFilterRequest, Handle),
              &handle, sizeof handle);
  transcript_.Line(line + " handle=" + std::to_string(handle) + ' ' +
                   DescribeRequest(request, place));
  ++starts_;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  lastStart_ = now.QuadPart;
  auto callback = reinterpret_cast<PacketCallbackFn>(static_cast<uintptr_t>(request.Callback));
  auto delivery = std::make_unique<Delivery>(handle, callback, source_, mode_, rate_);
  if (!delivery->Start()) {
    transcript_.Line("delivery " + std::to_string(handle) + " failed to start");
    return;
  }
  deliveries_.push_back(std::move(delivery));
}

void HostSide::StopPacketFilter(LPARAM argument, std::string& line) {
  line += "arg=" + std::to_string(static_cast<long long>(argument));
  for (auto& delivery : deliveries_) {
    if (delivery->Stopped() || static_cast<LPARAM>(delivery->Handle()) != argument) continue;
    transcript_.Line(line);
    EndDelivery(*delivery, nullptr);
    RemoveStopped();
    return;
  }
  transcript_.Line(line + " unknown-handle");
}

void HostSide::EndDelivery(Delivery& delivery, const char* by) {
  delivery.Stop();
  endedCost_ += delivery.Cost();
  std::string line = "delivery " + std::to_string(delivery.Handle()) +
                     " stopped packets=" + std::to_string(delivery.Packets()) +
                     " on=" + (delivery.Mode() == DeliveryMode::Thread ? "thread" : "ui");
  if (by != nullptr) line += std::string(" by=") + by;
  transcript_.Line(line);
}

CallbackCost HostSide::TakeCallbackCost() {
  CallbackCost all = endedCost_;
  for (const auto& delivery : deliveries_) {
    if (!delivery->Stopped()) all += delivery->Cost();
  }
  const CallbackCost since = all - takenCost_;
  takenCost_ = all;
  return since;
}

void HostSide::RemoveStopped() {
  // A delivery stopped from inside its own callback is removed after the batch.
  if (inUiDelivery_) return;
  std::erase_if(deliveries_, [](const auto& d) { return d->Stopped(); });
}

void HostSide::StopAll(const char* by) {
  for (auto& delivery : deliveries_) {
    if (!delivery->Stopped()) EndDelivery(*delivery, by);
  }
  RemoveStopped();
}

void HostSide::OnDeliveryTimer() {
  std::vector<Delivery*> running;
  for (auto& delivery : deliveries_) {
    if (delivery->Mode() == DeliveryMode::UiThread) running.push_back(delivery.get());
  }
  if (running.empty()) return;
  inUiDelivery_ = true;
  for (Delivery* delivery : running) delivery->Tick();
  inUiDelivery_ = false;
  RemoveStopped();
}

void HostSide::ViewerTune(int position) {
  const bool ok = position >= 0 && position < kHostChannelCount && Tune(position);
  transcript_.Line("viewer tune " + std::to_string(position) + (ok ? "" : " refused"));
}

bool HostSide::Tune(int position) {
  if (table_.Records[position].dwFreq == 0) return false;
  position_ = position;
  const int transponder = FindTransponder(list_, table_.Records[position]);
  source_.Switch(transponder >= 0 ? &streams_[static_cast<size_t>(transponder)] : nullptr);
  if (onPositionChanged) onPositionChanged();
  return true;
}

}  // namespace zp::viewer
