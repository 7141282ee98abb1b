// The five entry points the viewer calls. Nothing may escape into the viewer:
// every body is wrapped so that any failure ends here with the result 0.
#include <windows.h>

#include <cstdint>

#include "module/ModuleInfo.h"
#include "module/win32/ModuleState.h"

namespace {

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
    if (init != nullptr) zp::Module().Init(*init);
  });
}

__declspec(dllexport) int32_t __stdcall OnShow() {
  return Guarded([] { zp::Module().Show(); });
}

__declspec(dllexport) int32_t __stdcall OnClose() {
  return Guarded([] { zp::Module().Close(); });
}

__declspec(dllexport) int32_t __stdcall OnDDEvent(uint32_t, uint32_t) { return 0; }

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // Freed by the viewer (not at process exit, when nothing may be touched any
  // more): the windows go while their procedures still exist. A running
  // delivery was stopped by OnClose; none is stopped here (see Unload).
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    Guarded([] { zp::Module().Unload(); });
  }
  return TRUE;
}

}  // extern "C"
