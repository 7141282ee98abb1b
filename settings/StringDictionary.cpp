#include "settings/StringDictionary.h"

#include <utility>

#include "settings/UpperCase.h"

namespace zp {

namespace {

// Four-fifths of the bucket count, rounded to the nearest integer (997 gives
// 798, not 797). A multiple of 4/5 never ends in exactly one half.
uint32_t ThresholdFor(uint32_t buckets) {
  return static_cast<uint32_t>((static_cast<uint64_t>(buckets) * 4 + 2) / 5);
}

std::string UpperCopy(const std::string& key) {
  std::string upper = key;
  UpperCaseInPlace(upper);
  return upper;
}

bool IsPrimeCandidate(uint64_t candidate) {
  // Candidates are odd; trial division by 3, then by i and i + 2 for
  // i = 5, 11, 17, ... while i <= trunc(sqrt(candidate) + 1).
  if (candidate % 3 == 0) return false;
  for (uint64_t i = 5; (i - 1) * (i - 1) <= candidate; i += 6) {
    if (candidate % i == 0 || candidate % (i + 2) == 0) return false;
  }
  return true;
}

}  // namespace

uint32_t ElfHash(const std::string& text) {
  uint32_t h = 0;
  for (const char c : text) {
    h = (h << 4) + static_cast<uint8_t>(c);
    const uint32_t g = h & 0xF0000000u;
    if (g != 0) h ^= g >> 24;
    h &= ~g;
  }
  return h;
}

uint32_t NextPrime(uint32_t a) {
  // The odd-candidate search below would miss 2 and reject 3 itself.
  if (a < 2) return 2;
  if (a == 2) return 3;
  uint64_t candidate = (a % 2 == 0) ? uint64_t{a} + 1 : uint64_t{a} + 2;
  while (!IsPrimeCandidate(candidate)) candidate += 2;
  return static_cast<uint32_t>(candidate);
}

TStringDictionary::TStringDictionary()
    : buckets_(kInitialBuckets),
      growThreshold_(ThresholdFor(kInitialBuckets)),
      bucketCount_(kInitialBuckets) {}

TStringDictionary::~TStringDictionary() { Clear(); }

TStringDictionary::Found TStringDictionary::FindEntry(const std::string& upperKey) const {
  const uint32_t bucket = ElfHash(upperKey) % bucketCount_;
  for (THashEntry* e = buckets_[bucket].get(); e != nullptr; e = e->next.get()) {
    if (e->key == upperKey) return {bucket, e};
  }
  return {bucket, nullptr};
}

void TStringDictionary::Add(const std::string& key, void* value) {
  std::string upper = UpperCopy(key);
  const Found found = FindEntry(upper);
  if (found.entry != nullptr) return;
  auto entry = std::make_unique<THashEntry>();
  entry->key = std::move(upper);
  entry->value = value;
  entry->next = std::move(buckets_[found.bucket]);
  buckets_[found.bucket] = std::move(entry);
  ++count_;
  if (static_cast<uint32_t>(count_) > growThreshold_) Grow();
}

bool TStringDictionary::Lookup(const std::string& key, void*& value) const {
  const Found found = FindEntry(UpperCopy(key));
  value = found.entry != nullptr ? found.entry->value : nullptr;
  return found.entry != nullptr;
}

void TStringDictionary::Clear() {
  // Unlinks head by head, so a long chain never unwinds recursively.
  for (auto& head : buckets_) {
    while (head) head = std::move(head->next);
  }
  count_ = 0;
}

void TStringDictionary::Grow() {
  const uint32_t newCount = NextPrime(2 * (bucketCount_ - 1));
  THashArray grown(newCount);
  for (auto& head : buckets_) {
    while (head) {
      std::unique_ptr<THashEntry> entry = std::move(head);
      head = std::move(entry->next);
      auto& target = grown[ElfHash(entry->key) % newCount];
      entry->next = std::move(target);
      target = std::move(entry);
    }
  }
  buckets_ = std::move(grown);
  bucketCount_ = newCount;
  growThreshold_ = ThresholdFor(newCount);
}

void TStringDictionary::ResetIteration() {
  cursorBucket_ = -1;
  cursorEntry_ = nullptr;
}

bool TStringDictionary::NextEntry(std::string& key, void*& value) {
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

}  // namespace zp
