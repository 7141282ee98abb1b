#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "module/ModuleInfo.h"

namespace {

TEST(ModuleInfo, WritesExactly114BytesWithTheDescribedValues) {
  std::array<uint8_t, 130> record;
  record.fill(0xCC);
  zp::FillModuleInfo(record.data());

  const uint8_t expected[114] = {
      0x00, 0x00, 0x05, 0x01,                                     // 0: 0x01050000
      'Z', 'a', 'n', 't', 'e', 'r', 'p', 'o', 'i', 'n', 't'};     // 4: name, then zeros
  uint8_t want[114] = {};
  std::memcpy(want, expected, 15);
  const uint8_t tail[] = {0x00, 0x00, 0x00, 0x01,   // 100: 0x01000000
                          0x00, 0x00,               // 104: 0
                          0x0E, 0x00, 0x00, 0x00,   // 106: 14
                          0x09, 0x00, 0x09, 0x00};  // 110: 0x00090009
  std::memcpy(want + 100, tail, sizeof tail);

  EXPECT_EQ(0, std::memcmp(record.data(), want, 114));
  for (size_t i = 114; i < record.size(); ++i) EXPECT_EQ(0xCC, record[i]) << "byte " << i;
}

}  // namespace
