#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "settings/MemoryProfileFile.h"
#include "settings/PortableProfileFile.h"

namespace zp {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::WriteBytes;

// Hand-edited files as they come: mixed and missing line ends, blanks, tabs,
// Ctrl-Z, quotes, comments, repeated and odd section names, bytes above 127,
// a byte order mark, lines longer than any read.
class RandomProfile {
 public:
  explicit RandomProfile(uint32_t seed) : random_(seed) {}

  template <size_t N>
  const std::string& Pick(const std::string (&pool)[N]) {
    return pool[std::uniform_int_distribution<size_t>(0, N - 1)(random_)];
  }
  int Percent() { return std::uniform_int_distribution<int>(0, 99)(random_); }
  bool Chance(int percent) { return Percent() < percent; }

  std::string Bytes() {
    static const std::string kLines[] = {
        "[View]",    "[ view ]",  "[VIEW]x",   "[Z]",     "[]",     "[a]]",
        "[gr\xFCn]", "DP=1",      "  dp = 2 ", "k",       "=v",     "q=\"x\"",
        "q='y",      ";c=1",      "",          "  ",      "\t\x1A", "Lists=DP, SP ,Fav",
        "K=\"\"",    "gr\xFCn=1", "GR\xDCN=0", "x = a=b", "[New",   "\x01\x7F=\xFF"};
    static const std::string kBreaks[] = {"\r\n", "\r\n", "\n", "\r", "\n\r", "\r\r\n"};
    std::string bytes = Chance(5) ? "\xEF\xBB\xBF" : "";
    const int count = std::uniform_int_distribution<int>(0, 24)(random_);
    for (int i = 0; i < count; ++i) {
      bytes += Chance(3) ? "v=" + std::string(2100 + count, 'w') : Pick(kLines);
      if (i + 1 < count || Chance(70)) bytes += Pick(kBreaks);
    }
    return bytes;
  }

  const std::string& Section() {
    static const std::string kSections[] = {"",   "View", "VIEW",    " view ",  "Z", "New",
                                            "a]", "[x]",  "gr\xFCn", "GR\xDCN", "Zz"};
    return Pick(kSections);
  }
  const std::string& Key() {
    static const std::string kKeys[] = {"DP", "dp", " dp ", "k",   "",     "New",    ";c",
                                        "q",  "K",  "v",    "x\n", "a\rb", "gr\xFCn"};
    return Pick(kKeys);
  }
  const std::string& Value() {
    static const std::string kValues[] = {"1",
                                          "",
                                          "  v  ",
                                          "\"q\"",
                                          "'",
                                          "a\rb",
                                          "x\n[View]\ny=1",
                                          "2",
                                          "\t0\x1A",
                                          "a=b",
                                          std::string(3000, 'L'),
                                          "\"" + std::string(2046, 'Q') + "\""};
    return Pick(kValues);
  }

 private:
  std::mt19937 random_;
};

// Every read, listing and write gives the same on the file in memory as on
// the one on disk, and the bytes stay the same, over random sequences of
// calls on random files; edits of the file behind their backs included.
TEST(MemoryProfileFile, BehavesAsTheFileOnDisk) {
  namespace fs = std::filesystem;
  test::TempFolder folder;
  const std::string path = folder.File("a.ini");
  for (uint32_t seed = 1; seed <= 120; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomProfile random(seed);
    fs::remove(path);
    MemoryProfileFile memory(path);
    if (random.Chance(90)) {
      const std::string bytes = random.Bytes();
      WriteBytes(path, bytes);
      memory.SetBytes(bytes);
    }
    PortableProfileFile disk(path);
    for (int step = 0; step < 50; ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      const int op = random.Percent();
      if (op < 35) {
        const std::string section = random.Section(), key = random.Key(), value = random.Value();
        ASSERT_EQ(memory.Write(section, key, value), disk.Write(section, key, value));
        ASSERT_EQ(memory.Bytes(), ReadBytes(path));
        ASSERT_EQ(memory.Exists(), fs::exists(path));
      } else if (op < 65) {
        const std::string section = random.Section(), key = random.Key(), value = random.Value();
        ASSERT_EQ(memory.Read(section, key, value), disk.Read(section, key, value));
      } else if (op < 90) {
        const std::string& section = random.Section();
        ASSERT_EQ(memory.ReadSection(section), disk.ReadSection(section));
      } else if (op < 95) {
        const std::string bytes = random.Bytes();  // the user edits the file
        WriteBytes(path, bytes);
        memory.SetBytes(bytes);
        disk.Flush();
      } else if (memory.Exists()) {
        const bool readOnly = random.Chance(50);
        fs::permissions(path, readOnly ? fs::perms::owner_read : fs::perms::owner_all);
        memory.SetReadOnly(readOnly);
      }
    }
    if (fs::exists(path)) fs::permissions(path, fs::perms::owner_all);
  }
}

// A file that lists sections only entry by entry: what the block listing of
// any other profile file falls back to.
class EntryListing final : public ProfileFile {
 public:
  explicit EntryListing(ProfileFile& inner) : inner_(inner) {}
  const std::string& Path() const override { return inner_.Path(); }
  std::string Read(const std::string& s, const std::string& k, const std::string& d) override {
    return inner_.Read(s, k, d);
  }
  bool Write(const std::string& s, const std::string& k, const std::string& v) override {
    return inner_.Write(s, k, v);
  }
  std::vector<std::string> ReadSection(const std::string& s) override {
    return inner_.ReadSection(s);
  }
  void Flush() override { inner_.Flush(); }

 private:
  ProfileFile& inner_;
};

std::string Block(ProfileFile& file, const std::string& section) {
  std::string block = "kept";  // appended to, never replaced
  file.ReadSectionBlock(section, block);
  return block;
}

// The block listing holds the entries of the entry listing, each ended by a
// NUL, on disk, in memory and through the fallback alike; a section whose
// entries hold a NUL cannot be listed so and lists nothing.
TEST(MemoryProfileFile, ListsSectionsAsBlocks) {
  test::TempFolder folder;
  const std::string path = folder.File("a.ini");
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomProfile random(seed);
    std::string bytes = random.Bytes();
    if (random.Chance(20)) bytes += "\r\n[View]\r\nn\0ul=1\r\n"s;
    WriteBytes(path, bytes);
    MemoryProfileFile memory("a.ini", bytes);
    PortableProfileFile disk(path);
    EntryListing entries(memory);
    for (int step = 0; step < 10; ++step) {
      const std::string& section = random.Section();
      std::string expected = "kept";
      for (const std::string& entry : memory.ReadSection(section)) {
        if (entry.find('\0') != std::string::npos) {
          expected = "kept";
          break;
        }
        expected.append(entry).push_back('\0');
      }
      ASSERT_EQ(Block(memory, section), expected);
      ASSERT_EQ(Block(disk, section), expected);
      ASSERT_EQ(Block(entries, section), expected);
    }
  }
  MemoryProfileFile plain("b.ini", "[S]\r\na=1\r\n;c\r\nb\r\n[T]\r\nx\0y=2\r\n"s);
  EXPECT_EQ(Block(plain, "s"), "kepta=1\0b\0"s);
  EXPECT_EQ(Block(plain, "T"), "kept");
}

}  // namespace
}  // namespace zp
