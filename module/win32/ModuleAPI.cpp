// The five entry points the viewer calls. Nothing may escape into the viewer:
// every body is wrapped so that any failure ends here with the result 0.
#include <windows.h>

#include <cstdint>

#include "module/HostLink.h"
#include "module/ModuleInfo.h"
#include "module/win32/WindowHostLink.h"

namespace {

zp::WindowHostLink g_host;

template <class Body>
int32_t Guarded(Body body) noexcept {
  try {
    body();
  } catch (...) {
  }
  return 0;
}

}  // namespace

extern "C" {

__declspec(dllexport) int32_t __stdcall OnGetModuleInfo(void* record) {
  return Guarded([&] {
    if (record != nullptr) zp::FillModuleInfo(record);
  });
}

__declspec(dllexport) int32_t __stdcall OnInit(const zp::ModuleInitRecord* init) {
  return Guarded([&] {
    if (init == nullptr) return;
    g_host.SetWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(init->HostWindow)));
    zp::SendHostInfoQuery(g_host);
  });
}

__declspec(dllexport) int32_t __stdcall OnShow() {
  return Guarded([&] { zp::FetchChannelTable(g_host); });
}

__declspec(dllexport) int32_t __stdcall OnClose() {
  return Guarded([] {});
}

__declspec(dllexport) int32_t __stdcall OnDDEvent(uint32_t, uint32_t) { return 0; }

}  // extern "C"
