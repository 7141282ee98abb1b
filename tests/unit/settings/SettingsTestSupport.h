#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/MemorySettingsWindow.h"
#include "settings/Settings.h"

namespace zp::test {

// A fresh folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("zp-" + std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The message of the settings error that `call` throws, or "(no error)".
inline std::string SettingsErrorOf(auto&& call) {
  try {
    call();
  } catch (const SettingsError& e) {
    return e.what();
  }
  return "(no error)";
}

// The main window as loading and saving see it.
struct FakeWindow : MemorySettingsWindow {
  FakeWindow() : MemorySettingsWindow({120, 40, 480, 170}) {}
};

}  // namespace zp::test
