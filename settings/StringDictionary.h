#pragma once

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
    // stops at the last entry: the settings clear a table of 997 buckets that
    // holds a few dozen entries on every load.
    for (auto& head : buckets_) {
      if (count_ == 0) break;
      while (head) {
        head = std::move(head->next);
        --count_;
      }
    }
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
      int32_t bucket = cursorBucket_;
      do {
        ++bucket;
      } while (static_cast<uint32_t>(bucket) < bucketCount_ && !buckets_[bucket]);
      if (static_cast<uint32_t>(bucket) >= bucketCount_) return false;
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

  void Grow() {
    const uint32_t newCount = NextPrime(2 * (bucketCount_ - 1));
    THashArray<Value> grown(newCount);
    for (auto& head : buckets_) {
      while (head) {
        std::unique_ptr<Entry> entry = std::move(head);
        head = std::move(entry->next);
        auto& target = grown[ElfHash(entry->key) % newCount];
        entry->next = std::move(target);
        target = std::move(entry);
      }
    }
    buckets_ = std::move(grown);
    bucketCount_ = newCount;
    growThreshold_ = GrowThresholdFor(newCount);
  }

  THashArray<Value> buckets_;
  uint32_t growThreshold_ = 0;
  uint32_t bucketCount_ = 0;
  int32_t count_ = 0;
  int32_t cursorBucket_ = -1;
  Entry* cursorEntry_ = nullptr;
};

}  // namespace zp
