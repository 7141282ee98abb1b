#include "ModuleLibrary.h"

#include <cstring>

#include "TranscriptFormat.h"
#include "module/HostInterface.h"

namespace zp::viewer {

namespace {

using InfoFn = int32_t(ZP_STDCALL*)(void*);
using InitFn = int32_t(ZP_STDCALL*)(void*);
using NoArgFn = int32_t(ZP_STDCALL*)();
using EventFn = int32_t(ZP_STDCALL*)(uint32_t, uint32_t);

// The viewer's init record is larger than the one field the module reads.
constexpr size_t kInitRecordSize = 64;
constexpr size_t kInfoBufferSize = 256;

}  // namespace

bool ModuleLibrary::Load(const std::string& path, const std::string& shown) {
  Unload();
  module_ = LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    transcript_.Line("load " + shown + " failed error=" + std::to_string(GetLastError()));
    return false;
  }
  transcript_.Line("load " + shown + " ok");
  return true;
}

void ModuleLibrary::Unload() {
  if (module_ == nullptr) return;
  FreeLibrary(module_);
  module_ = nullptr;
  transcript_.Line("unloaded");
}

template <class Fn, class... Args>
bool ModuleLibrary::Call(const char* name, Args... args) {
  if (module_ == nullptr) {
    transcript_.Line(std::string("call ") + name + " not-loaded");
    return false;
  }
  const FARPROC address = GetProcAddress(module_, name);
  if (address == nullptr) {
    transcript_.Line(std::string("call ") + name + " missing");
    return false;
  }
  transcript_.Line(std::string("call ") + name);
  // FARPROC converts to any function type through the generic one.
  const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
  const int32_t result = fn(args...);
  transcript_.Line(std::string("return ") + name + ' ' + std::to_string(result));
  return true;
}

std::string ModuleLibrary::Info() {
  alignas(8) uint8_t buffer[kInfoBufferSize];
  std::memset(buffer, kInfoFill, sizeof buffer);
  if (!Call<InfoFn>("OnGetModuleInfo", static_cast<void*>(buffer))) return {};
  transcript_.Line("info " + DescribeModuleInfo(buffer, sizeof buffer));
  ModuleInfoRecord info;
  std::memcpy(&info, buffer, sizeof info);
  return std::string(info.Name, strnlen(info.Name, sizeof info.Name));
}

void ModuleLibrary::Init(HWND hostWindow) {
  alignas(8) uint8_t record[kInitRecordSize] = {};
  const auto window = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hostWindow));
  std::memcpy(record, &window, sizeof window);
  Call<InitFn>("OnInit", static_cast<void*>(record));
}

void ModuleLibrary::Show() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  lastShow_ = now.QuadPart;
  Call<NoArgFn>("OnShow");
}

void ModuleLibrary::Close() { Call<NoArgFn>("OnClose"); }

void ModuleLibrary::DdEvent(uint32_t first, uint32_t second) {
  Call<EventFn>("OnDDEvent", first, second);
}

}  // namespace zp::viewer
