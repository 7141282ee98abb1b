#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zp {

// The ELF symbol-table hash of a text; 0..0x0FFFFFFF.
uint32_t ElfHash(const std::string& text);
// The smallest prime greater than a.
uint32_t NextPrime(uint32_t a);

// Upper case in the code page of the settings file: the dictionary's keys.
std::string UpperCaseKey(const std::string& key);
// Four-fifths of a bucket count, rounded to the nearest integer: where a dictionary grows.
uint32_t GrowThresholdFor(uint32_t buckets);

template <typename Value>
struct THashEntry {
  std::string key;  // upper case
  Value value{};
  std::unique_ptr<THashEntry> next;
};

template <typename Value>
using THashArray = std::vector<std::unique_ptr<THashEntry<Value>>>;

// Maps a text key, compared without regard to letter case, to a value held in
// its entry. Entries never move (growth relinks them), so a pointer to a value
// stays valid until Clear or the dictionary's end: the settings find their
// collapsed flags and entry names that way.
// A chained hash table with a prime number of buckets (997 to start) that
// grows to about twice its size when it is more than four-fifths full. Adding
// inserts at the head of the bucket, and iteration runs in bucket order, so the
// order of the [Collapse] keys in the settings file follows from the keys alone.
template <typename Value>
class TStringDictionary {
 public:
  static constexpr uint32_t kInitialBuckets = 997;

  TStringDictionary()
      : buckets_(kInitialBuckets),
        occupied_(OccupancyWords(kInitialBuckets)),
        growThreshold_(GrowThresholdFor(kInitialBuckets)),
        bucketCount_(kInitialBuckets) {}
  virtual ~TStringDictionary() { Clear(); }
  TStringDictionary(const TStringDictionary&) = delete;
  TStringDictionary& operator=(const TStringDictionary&) = delete;

  // Keeps the first value when the key is already present, in any letter case.
  void Add(const std::string& key, Value value) {
    std::string upper = UpperCaseKey(key);
    const Found<Entry> found = FindEntry(upper);
    if (found.entry != nullptr) return;
    auto entry = std::make_unique<Entry>();
    entry->key = std::move(upper);
    entry->value = std::move(value);
    entry->next = std::move(buckets_[found.bucket]);
    buckets_[found.bucket] = std::move(entry);
    MarkOccupied(occupied_, found.bucket);
    ++count_;
    if (static_cast<uint32_t>(count_) > growThreshold_) Grow();
  }

  // False, with value Value{}, when the key is absent.
  bool Lookup(const std::string& key, Value& value) const {
    const Value* found = Find(key);
    value = found != nullptr ? *found : Value{};
    return found != nullptr;
  }

  // The value held for the key, or null when the key is absent.
  Value* Find(const std::string& key) {
    Entry* entry = FindEntry(UpperCaseKey(key)).entry;
    return entry != nullptr ? &entry->value : nullptr;
  }
  const Value* Find(const std::string& key) const {
    const Entry* entry = FindEntry(UpperCaseKey(key)).entry;
    return entry != nullptr ? &entry->value : nullptr;
  }

  void Clear() {
    // Unlinks head by head, so a long chain never unwinds recursively, and
    // visits only the buckets in use: the settings clear a table of 997
    // buckets that holds a few dozen entries on every load.
    for (int32_t bucket = NextOccupied(-1); bucket >= 0; bucket = NextOccupied(bucket)) {
      auto& head = buckets_[static_cast<uint32_t>(bucket)];
      while (head) head = std::move(head->next);
    }
    std::fill(occupied_.begin(), occupied_.end(), 0);
    count_ = 0;
  }

  // An iteration is ResetIteration followed by NextEntry until it returns
  // false; the dictionary must not change in between.
  void ResetIteration() {
    cursorBucket_ = -1;
    cursorEntry_ = nullptr;
  }

  bool NextEntry(std::string& key, Value& value) {
    if (cursorEntry_ == nullptr) {
      const int32_t bucket = NextOccupied(cursorBucket_);
      if (bucket < 0) return false;
      cursorBucket_ = bucket;
      cursorEntry_ = buckets_[bucket].get();
    }
    key = cursorEntry_->key;
    value = cursorEntry_->value;
    cursorEntry_ = cursorEntry_->next.get();
    return true;
  }

  uint32_t BucketCount() const { return bucketCount_; }
  uint32_t GrowThreshold() const { return growThreshold_; }
  int32_t Count() const { return count_; }

 private:
  using Entry = THashEntry<Value>;
  template <typename E>
  struct Found {
    uint32_t bucket;
    E* entry;
  };

  Found<const Entry> FindEntry(const std::string& upperKey) const {
    const uint32_t bucket = ElfHash(upperKey) % bucketCount_;
    for (const Entry* e = buckets_[bucket].get(); e != nullptr; e = e->next.get()) {
      if (e->key == upperKey) return {bucket, e};
    }
    return {bucket, nullptr};
  }
  Found<Entry> FindEntry(const std::string& upperKey) {
    const Found<const Entry> found = std::as_const(*this).FindEntry(upperKey);
    return {found.bucket, const_cast<Entry*>(found.entry)};
  }

  // One bit per bucket that holds an entry, so that clearing and iterating
  // skip the empty ones (nearly all of them).
  static size_t OccupancyWords(uint32_t buckets) { return buckets / 64 + 1; }
  static void MarkOccupied(std::vector<uint64_t>& words, uint32_t bucket) {
    words[bucket / 64] |= uint64_t{1} << (bucket % 64);
  }
  // The first bucket in use after `after`, or -1.
  int32_t NextOccupied(int32_t after) const {
    const auto start = static_cast<uint32_t>(after + 1);
    for (size_t word = start / 64; word < occupied_.size(); ++word) {
      uint64_t bits = occupied_[word];
      if (word == start / 64) bits &= ~uint64_t{0} << (start % 64);
      if (bits != 0) return static_cast<int32_t>(word * 64 + std::countr_zero(bits));
    }
    return -1;
  }

  void Grow() {
    const uint32_t newCount = NextPrime(2 * (bucketCount_ - 1));
    THashArray<Value> grown(newCount);
    std::vector<uint64_t> occupied(OccupancyWords(newCount));
    for (auto& head : buckets_) {
      while (head) {
        std::unique_ptr<Entry> entry = std::move(head);
        head = std::move(entry->next);
        const uint32_t bucket = ElfHash(entry->key) % newCount;
        auto& target = grown[bucket];
        entry->next = std::move(target);
        target = std::move(entry);
        MarkOccupied(occupied, bucket);
      }
    }
    buckets_ = std::move(grown);
    occupied_ = std::move(occupied);
    bucketCount_ = newCount;
    growThreshold_ = GrowThresholdFor(newCount);
  }

  THashArray<Value> buckets_;
  std::vector<uint64_t> occupied_;
  uint32_t growThreshold_ = 0;
  uint32_t bucketCount_ = 0;
  int32_t count_ = 0;
  int32_t cursorBucket_ = -1;
  Entry* cursorEntry_ = nullptr;
};

}  // namespace zp
