#include "settings/StringDictionary.h"

#include "settings/UpperCase.h"

namespace zp {

namespace {

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

uint32_t GrowThresholdFor(uint32_t buckets) {
  // 997 gives 798, not 797. A multiple of 4/5 never ends in exactly one half.
  return static_cast<uint32_t>((static_cast<uint64_t>(buckets) * 4 + 2) / 5);
}

std::string UpperCaseKey(const std::string& key) {
  std::string upper = key;
  UpperCaseInPlace(upper);
  return upper;
}

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

}  // namespace zp
