#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zp {

// The ELF symbol-table hash of a text; 0..0x0FFFFFFF.
uint32_t ElfHash(const std::string& text);
// The smallest prime greater than a.
uint32_t NextPrime(uint32_t a);

struct THashEntry {
  std::string key;  // upper case
  void* value = nullptr;
  std::unique_ptr<THashEntry> next;
};

using THashArray = std::vector<std::unique_ptr<THashEntry>>;

// Maps a text key, compared without regard to letter case, to a value the
// dictionary never owns, copies or dereferences. A chained hash table with a
// prime number of buckets (997 to start) that grows to about twice its size
// when it is more than four-fifths full. Adding inserts at the head of the
// bucket, and iteration runs in bucket order, so the order of the [Collapse]
// keys in the settings file follows from the keys alone.
class TStringDictionary {
 public:
  static constexpr uint32_t kInitialBuckets = 997;

  TStringDictionary();
  virtual ~TStringDictionary();
  TStringDictionary(const TStringDictionary&) = delete;
  TStringDictionary& operator=(const TStringDictionary&) = delete;

  // Keeps the first value when the key is already present, in any letter case.
  void Add(const std::string& key, void* value);
  // False, with value null, when the key is absent.
  bool Lookup(const std::string& key, void*& value) const;
  void Clear();

  // An iteration is ResetIteration followed by NextEntry until it returns
  // false; the dictionary must not change in between.
  void ResetIteration();
  bool NextEntry(std::string& key, void*& value);

  uint32_t BucketCount() const { return bucketCount_; }
  uint32_t GrowThreshold() const { return growThreshold_; }
  int32_t Count() const { return count_; }

 private:
  struct Found {
    uint32_t bucket;
    THashEntry* entry;
  };
  Found FindEntry(const std::string& upperKey) const;
  void Grow();

  THashArray buckets_;
  uint32_t growThreshold_ = 0;
  uint32_t bucketCount_ = 0;
  int32_t count_ = 0;
  int32_t cursorBucket_ = -1;
  THashEntry* cursorEntry_ = nullptr;
};

}  // namespace zp
