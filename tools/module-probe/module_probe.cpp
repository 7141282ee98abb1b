// module-probe MODULE [VERSION]: loads the module like the viewer, resolves the
// five exports by their undecorated names and checks what they do before OnInit.
// With VERSION it also checks the version resource as Windows reads it for the
// file's properties.
// In the 32-bit build every call also checks that the callee removed its own
// arguments from the stack (stdcall). Prints one line per check; exit 0 = all passed.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok" : "FAIL", what);
  if (!ok) ++failures;
}

#if defined(__i386__)
// Pushes the arguments, calls, and returns how far ESP moved: 0 for a callee
// that pops its own arguments, 4 * argc for one that leaves them to the caller.
int32_t StackDrift(FARPROC fn, int argc, uint32_t arg0, uint32_t arg1, int32_t* result) {
  int32_t drift;
  int32_t ret;
  __asm__ volatile(
      "movl %%esp, %%esi\n\t"
      "cmpl $2, %[argc]\n\t"
      "jl 1f\n\t"
      "pushl %[a1]\n\t"
      "1:\n\t"
      "cmpl $1, %[argc]\n\t"
      "jl 2f\n\t"
      "pushl %[a0]\n\t"
      "2:\n\t"
      "call *%[fn]\n\t"
      "movl %%esi, %%ecx\n\t"
      "subl %%esp, %%ecx\n\t"
      "movl %%esi, %%esp\n\t"
      : "=a"(ret), "=c"(drift)
      : [fn] "r"(fn), [argc] "r"(argc), [a0] "r"(arg0), [a1] "r"(arg1)
      : "esi", "edx", "memory", "cc");
  *result = ret;
  return drift;
}
#endif

// FARPROC goes through the generic function pointer type, which converts to any other.
template <class F>
F As(FARPROC fn) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(fn));
}

int32_t Call(FARPROC fn, int argc, uintptr_t arg0 = 0, uint32_t arg1 = 0) {
#if defined(__i386__)
  int32_t result = -1;
  const int32_t drift = StackDrift(fn, argc, static_cast<uint32_t>(arg0), arg1, &result);
  Check(drift == 0, "callee cleaned its arguments from the stack (stdcall)");
  return result;
#else
  // The 64-bit twin has one calling convention; only the results are checked.
  switch (argc) {
    case 0:
      return As<int32_t (*)()>(fn)();
    case 1:
      return As<int32_t (*)(uintptr_t)>(fn)(arg0);
    default:
      return As<int32_t (*)(uint32_t, uint32_t)>(fn)(static_cast<uint32_t>(arg0), arg1);
  }
#endif
}

// One string of the version resource's US English, code page 1252 table, or "".
std::string VersionString(const std::vector<char>& info, const char* name) {
  const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || length == 0) return {};
  return static_cast<const char*>(value);
}

void CheckVersionResource(const char* file, const char* version) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(file, &ignored);
  Check(size != 0, "the module has a version resource");
  if (size == 0) return;
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(file, 0, size, info.data())) {
    Check(false, "the version resource reads");
    return;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  const bool haveFixed =
      VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
      length >= sizeof *fixed;
  char numbers[64] = "";
  if (haveFixed) {
    std::snprintf(numbers, sizeof numbers, "%lu.%lu.%lu",
                  static_cast<unsigned long>(HIWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned long>(HIWORD(fixed->dwFileVersionLS)));
  }
  std::printf("version %s\n", numbers);
  Check(haveFixed && std::strcmp(numbers, version) == 0, "the file version is the release's");
  Check(haveFixed && (fixed->dwFileType == VFT_DLL), "the file is described as a DLL");
  const struct {
    const char* name;
    std::string want;  // empty: any text
  } strings[] = {{"ProductName", "Zanterpoint"}, {"FileVersion", version},
                 {"ProductVersion", version},    {"OriginalFilename", "Zanterpoint.mod"},
                 {"FileDescription", ""},        {"LegalCopyright", ""}};
  for (const auto& s : strings) {
    const std::string value = VersionString(info, s.name);
    std::printf("version %s = %s\n", s.name, value.c_str());
    const std::string what = std::string("version resource: ") + s.name;
    Check(s.want.empty() ? !value.empty() : value == s.want, what.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: module-probe MODULE [VERSION]\n");
    return 2;
  }
  if (argc == 3) CheckVersionResource(argv[1], argv[2]);
  HMODULE module = LoadLibraryA(argv[1]);
  Check(module != nullptr, "module loads");
  if (module == nullptr) return 1;

  const char* names[] = {"OnGetModuleInfo", "OnInit", "OnShow", "OnClose", "OnDDEvent"};
  FARPROC fns[5] = {};
  for (int i = 0; i < 5; ++i) {
    fns[i] = GetProcAddress(module, names[i]);
    char what[64];
    std::snprintf(what, sizeof what, "export %s", names[i]);
    Check(fns[i] != nullptr, what);
  }
  if (failures != 0) return 1;

  // The record lies inside a larger buffer: nothing beyond byte 113 may change.
  static uint8_t buffer[256];
  std::memset(buffer, 0xCC, sizeof buffer);
  const int32_t result = Call(fns[0], 1, reinterpret_cast<uintptr_t>(buffer));
  Check(result == 0, "OnGetModuleInfo returns 0 before OnInit");

  uint8_t expected[114] = {0x00, 0x00, 0x05, 0x01, 'Z', 'a', 'n', 't',
                           'e',  'r',  'p',  'o',  'i', 'n', 't'};
  const uint8_t tail[14] = {0, 0, 0, 1, 0, 0, 14, 0, 0, 0, 9, 0, 9, 0};
  std::memcpy(expected + 100, tail, sizeof tail);
  Check(std::memcmp(buffer, expected, 114) == 0, "bytes 0..113 hold the module description");
  bool untouched = true;
  for (size_t i = 114; i < sizeof buffer; ++i) untouched = untouched && buffer[i] == 0xCC;
  Check(untouched, "nothing after byte 113 is written");
  std::printf("record");
  for (int i = 0; i < 114; ++i) std::printf(" %02x", buffer[i]);
  std::printf("\n");

  Check(Call(fns[4], 2, 0x12345678, 0xFFFFFFFF) == 0, "OnDDEvent returns 0 whatever it is given");
  FreeLibrary(module);
  return failures == 0 ? 0 : 1;
}
