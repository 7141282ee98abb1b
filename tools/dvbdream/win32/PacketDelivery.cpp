#include "PacketDelivery.h"

namespace zp::viewer {

namespace {

int32_t ZP_STDCALL EmptyCallback(const uint8_t*, uint32_t, uint32_t) { return 0; }
// Read through a volatile pointer: the baseline call stays a real indirect call.
PacketCallbackFn volatile g_emptyCallback = &EmptyCallback;

int64_t Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

}  // namespace

void PacketSource::Switch(const TransportStream* stream) {
  ExclusiveLock hold(lock_);
  if (stream == stream_) return;
  stream_ = stream;
  ++generation_;
}

Delivery::Delivery(uint32_t handle, PacketCallbackFn callback, PacketSource& source,
                   DeliveryMode mode, const std::atomic<int>& rate)
    : handle_(handle),
      callback_(callback),
      source_(source),
      mode_(mode),
      rate_(rate),
      pacer_(rate.load()) {
  QueryPerformanceFrequency(&frequency_);
  QueryPerformanceCounter(&last_);
}

Delivery::~Delivery() { Stop(); }

bool Delivery::Start() {
  if (mode_ == DeliveryMode::UiThread) return true;
  stopEvent_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!stopEvent_) return false;
  thread_.reset(CreateThread(nullptr, 0, &Delivery::ThreadMain, this, 0, nullptr));
  return thread_ != nullptr;
}

void Delivery::Stop() {
  stopped_ = true;
  if (thread_) {
    SetEvent(stopEvent_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
  }
}

void Delivery::Tick() {
  if (!stopped_) PlayDue();
}

DWORD WINAPI Delivery::ThreadMain(LPVOID self) {
  auto* delivery = static_cast<Delivery*>(self);
  while (WaitForSingleObject(delivery->stopEvent_.get(), 2) == WAIT_TIMEOUT) delivery->PlayDue();
  return 0;
}

void Delivery::PlayDue() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const double elapsed =
      static_cast<double>(now.QuadPart - last_.QuadPart) / static_cast<double>(frequency_.QuadPart);
  last_ = now;
  pacer_.SetRate(rate_.load());
  const PacketSource::Cursor from = cursor_;
  const int64_t start = Now();
  const size_t played = source_.Play(cursor_, pacer_.Due(elapsed), [&](const uint8_t* packet) {
    // A stopped delivery ends within its batch.
    if (stopped_) return false;
    callback_(packet, static_cast<uint32_t>(kTsPacketSize), handle_);
    packets_.fetch_add(1, std::memory_order_relaxed);
    return true;
  });
  const int64_t middle = Now();
  // The same packets again through an empty callback: what the loop costs by itself.
  PacketSource::Cursor again = from;
  source_.Play(again, played, [&](const uint8_t* packet) {
    if (stopped_) return false;
    g_emptyCallback(packet, static_cast<uint32_t>(kTsPacketSize), handle_);
    return true;
  });
  const int64_t end = Now();
  if (played == 0) return;
  measured_.fetch_add(played, std::memory_order_relaxed);
  moduleTicks_.fetch_add(middle - start, std::memory_order_relaxed);
  emptyTicks_.fetch_add(end - middle, std::memory_order_relaxed);
}

CallbackCost Delivery::Cost() const {
  return {measured_.load(), moduleTicks_.load(), emptyTicks_.load()};
}

}  // namespace zp::viewer
