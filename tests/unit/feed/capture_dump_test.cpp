#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "feed/CaptureDump.h"
#include "feed/PacketCapture.h"
#include "support/Packets.h"

namespace zp {
namespace {

namespace fs = std::filesystem;

class RecordingErrorBox : public ErrorBox {
 public:
  void ShowError(const std::string& text, const std::string& title) override {
    shown.push_back(title + "|" + text);
  }
  std::vector<std::string> shown;
};

class CaptureDumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / ("zp-dump-" + std::string(info->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static bool IsZeroRecord(const std::vector<uint8_t>& bytes, int record) {
    for (size_t i = 0; i < kTsPacketSize; ++i) {
      if (bytes[record * kTsPacketSize + i] != 0) return false;
    }
    return true;
  }

  fs::path dir;
  std::unique_ptr<PacketCapture> capture = std::make_unique<PacketCapture>();
  RecordingErrorBox errors;
};

TEST_F(CaptureDumpTest, BeforeAnyScanTheDumpIsAllZeroBytes) {
  const fs::path file = dir / "empty.ts";
  DumpCaptureBuffers(file.string(), *capture, errors);
  const auto bytes = ReadFile(file);
  ASSERT_EQ(376000u, bytes.size());
  EXPECT_EQ(bytes.size(), std::count(bytes.begin(), bytes.end(), 0));
  EXPECT_TRUE(errors.shown.empty());
}

TEST_F(CaptureDumpTest, AfterAScanSectionsComeFirstAndInfoPacketsSitAtOddRecords) {
  // More packets than a scan keeps, as a real delivery gives them.
  for (int i = 0; i < 520; ++i) {
    auto packet = test::SectionPacket(static_cast<uint8_t>(i % 200 + 1));
    packet[3] = static_cast<uint8_t>(i);  // tells neighbouring records apart
    capture->OnPacket(packet.data());
  }
  for (char index : std::string("0123456789")) {
    capture->OnPacket(test::InfoPacket(index, std::string("text ") + index).data());
  }
  ASSERT_TRUE(capture->Complete());

  const fs::path file = dir / "scan.ts";
  DumpCaptureBuffers(file.string(), *capture, errors);
  const auto bytes = ReadFile(file);
  ASSERT_EQ(kDumpFileSize, bytes.size());

  for (int record = 0; record < 500; ++record) {
    const uint8_t* r = bytes.data() + record * kTsPacketSize;
    ASSERT_EQ(0x47, r[0]) << record;
    ASSERT_EQ(0x12, r[2]) << record;
    ASSERT_EQ(static_cast<uint8_t>(record), r[3]) << record;
    ASSERT_EQ(record % 200 + 1, r[187]) << record;
  }
  for (int record = 500; record <= 1000; ++record) ASSERT_TRUE(IsZeroRecord(bytes, record));
  for (int slot = 0; slot < kCaptureSlots; ++slot) {
    const int record = kCaptureSlots + slot;
    if (slot % 2 == 1 && slot <= 19) {
      const uint8_t* r = bytes.data() + record * kTsPacketSize;
      EXPECT_EQ(0x97, r[2]) << record;
      EXPECT_EQ('0' + slot / 2, r[29]) << record;  // in arrival order
    } else {
      ASSERT_TRUE(IsZeroRecord(bytes, record)) << record;
    }
  }
}

TEST_F(CaptureDumpTest, ReplacesAnExistingFileAndKeepsTheSize) {
  const fs::path file = dir / "again.ts";
  std::ofstream(file, std::ios::binary) << std::string(500000, 'x');
  DumpCaptureBuffers(file.string(), *capture, errors);
  EXPECT_EQ(kDumpFileSize, fs::file_size(file));

  capture->OnPacket(test::SectionPacket(9).data());
  DumpCaptureBuffers(file.string(), *capture, errors);
  const auto bytes = ReadFile(file);
  ASSERT_EQ(kDumpFileSize, bytes.size());
  EXPECT_EQ(9, bytes[100]);
  EXPECT_TRUE(errors.shown.empty());
}

TEST_F(CaptureDumpTest, AFileThatCannotBeCreatedIsReportedAndNothingIsWritten) {
  const fs::path file = dir / "no-such-folder" / "out.ts";
  DumpCaptureBuffers(file.string(), *capture, errors);
  ASSERT_EQ(1u, errors.shown.size());
  EXPECT_EQ("Error|Can not create file here! please select another folder", errors.shown[0]);
  EXPECT_FALSE(fs::exists(file));

  // A folder where the file should be is no file either.
  errors.shown.clear();
  DumpCaptureBuffers(dir.string(), *capture, errors);
  EXPECT_EQ(1u, errors.shown.size());
}

TEST_F(CaptureDumpTest, EmptyNameDoesNothing) {
  DumpCaptureBuffers("", *capture, errors);
  DumpCaptureBuffers(TrimFileName(" \t \r\n"), *capture, errors);
  EXPECT_TRUE(errors.shown.empty());
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(CaptureDumpTest, AWriteErrorAfterCreationIsThrownNotShown) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no device that refuses writes";
  EXPECT_THROW(DumpCaptureBuffers("/dev/full", *capture, errors), CaptureDumpError);
  EXPECT_TRUE(errors.shown.empty());
}

TEST(TrimFileName, RemovesBlanksAndControlCharactersAtBothEndsOnly) {
  EXPECT_EQ("C:\\zpOut.ts", TrimFileName("  C:\\zpOut.ts \t"));
  EXPECT_EQ("C:\\my dump.ts", TrimFileName("\r\nC:\\my dump.ts\n"));
  EXPECT_EQ("C:\\\xE4.ts", TrimFileName("C:\\\xE4.ts\x1F"));  // code-page letters stay
  EXPECT_EQ("", TrimFileName("   "));
}

}  // namespace
}  // namespace zp
