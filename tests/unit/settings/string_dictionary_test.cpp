#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "settings/StringDictionary.h"

namespace zp {
namespace {

std::vector<std::string> Keys(TStringDictionary<void*>& dictionary) {
  std::vector<std::string> keys;
  std::string key;
  void* value = nullptr;
  dictionary.ResetIteration();
  while (dictionary.NextEntry(key, value)) keys.push_back(key);
  return keys;
}

TEST(ElfHash, KnownValues) {
  EXPECT_EQ(ElfHash(""), 0u);
  EXPECT_EQ(ElfHash("DP"), 0x490u);
  EXPECT_EQ(ElfHash("SP"), 0x580u);
  EXPECT_EQ(ElfHash("EP"), 0x4A0u);
  EXPECT_EQ(ElfHash("printf"), 0x077905A6u);      // the ELF documentation's example
  EXPECT_EQ(ElfHash("ABCDEFGHIJ"), 0x089EEAAAu);  // long enough to fold the top nibble
  EXPECT_EQ(ElfHash("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF") & 0xF0000000u, 0u);
}

TEST(NextPrime, GrowthSequenceAndTrialDivision) {
  EXPECT_EQ(NextPrime(1992), 1993u);
  EXPECT_EQ(NextPrime(3984), 3989u);
  EXPECT_EQ(NextPrime(7976), 7993u);
  EXPECT_EQ(NextPrime(15984), 15991u);
  EXPECT_EQ(NextPrime(31980), 31981u);
  EXPECT_EQ(NextPrime(23), 29u);    // 25 falls to i = 5
  EXPECT_EQ(NextPrime(47), 53u);    // 49 falls to i + 2 = 7
  EXPECT_EQ(NextPrime(113), 127u);  // 121 falls to i = 11
  EXPECT_EQ(NextPrime(7), 11u);
  EXPECT_EQ(NextPrime(0), 2u);
  EXPECT_EQ(NextPrime(2), 3u);
}

TEST(StringDictionary, KeysIgnoreLetterCaseAndKeepTheFirstValue) {
  TStringDictionary<void*> d;
  int first = 1, second = 2;
  d.Add("Fav", &first);
  d.Add("fAV", &second);
  void* value = nullptr;
  ASSERT_TRUE(d.Lookup("FAV", value));
  EXPECT_EQ(value, &first);
  EXPECT_EQ(d.Count(), 1);
  EXPECT_EQ(Keys(d), std::vector<std::string>{"FAV"});

  // Code page 1252 letters fold as well; sharp s has no capital.
  d.Add("gr\xE4n\xFF", &first);
  EXPECT_TRUE(d.Lookup("GR\xC4N\x9F", value));
  d.Add(
      "stra\xDF"
      "e",
      &first);
  EXPECT_TRUE(
      d.Lookup("STRA\xDF"
               "E",
               value));

  value = &second;
  EXPECT_FALSE(d.Lookup("absent", value));
  EXPECT_EQ(value, nullptr);
}

TEST(StringDictionary, IteratesInBucketOrderNewestFirstWithinABucket) {
  TStringDictionary<void*> d;
  for (const char* key : {"DP", "SP", "EP"}) d.Add(key, nullptr);
  EXPECT_EQ(Keys(d), (std::vector<std::string>{"DP", "EP", "SP"}));  // buckets 171, 187, 411

  d.Add("AAQ", nullptr);  // AAQ and ABA share bucket 812
  d.Add("ABA", nullptr);
  d.Add("", nullptr);  // bucket 0
  EXPECT_EQ(Keys(d), (std::vector<std::string>{"", "DP", "EP", "SP", "ABA", "AAQ"}));

  std::string key;
  void* value = nullptr;
  EXPECT_FALSE(d.NextEntry(key, value));  // past the end it stays false
  EXPECT_FALSE(d.NextEntry(key, value));
  TStringDictionary<void*> empty;
  empty.ResetIteration();
  EXPECT_FALSE(empty.NextEntry(key, value));
}

TEST(StringDictionary, GrowsAtFourFifthsAndClearKeepsTheSize) {
  TStringDictionary<void*> d;
  EXPECT_EQ(d.BucketCount(), 997u);
  EXPECT_EQ(d.GrowThreshold(), 798u);
  std::vector<int> values(1600);
  for (int i = 0; i < 798; ++i) d.Add("key" + std::to_string(i), &values[i]);
  EXPECT_EQ(d.BucketCount(), 997u);
  d.Add("key798", &values[798]);
  EXPECT_EQ(d.BucketCount(), 1993u);
  EXPECT_EQ(d.GrowThreshold(), 1594u);
  for (int i = 799; i < 1595; ++i) d.Add("key" + std::to_string(i), &values[i]);
  EXPECT_EQ(d.BucketCount(), 3989u);
  EXPECT_EQ(d.GrowThreshold(), 3191u);
  for (int i = 0; i < 1595; ++i) {
    void* value = nullptr;
    ASSERT_TRUE(d.Lookup("KEY" + std::to_string(i), value)) << i;
    EXPECT_EQ(value, &values[i]);
  }
  EXPECT_EQ(Keys(d).size(), 1595u);

  d.Clear();
  EXPECT_EQ(d.Count(), 0);
  EXPECT_EQ(d.BucketCount(), 3989u);
  EXPECT_EQ(d.GrowThreshold(), 3191u);
  void* value = nullptr;
  EXPECT_FALSE(d.Lookup("key0", value));
  EXPECT_TRUE(Keys(d).empty());
}

}  // namespace
}  // namespace zp
