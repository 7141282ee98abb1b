#include "tools/zpinspect/CaptureInput.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "feed/CaptureDump.h"
#include "feed/PortalExtraction.h"
#include "tools/zpinspect/Format.h"

namespace zp::inspect {

namespace {

constexpr uint8_t kSyncByte = 0x47;
constexpr size_t kPacketSize = kTsPacketSize;
constexpr int kPidCount = 0x2000;
// Packet sizes in the order they are preferred when several fit.
constexpr int kPacketSizes[] = {static_cast<int>(kTsPacketSize), 192, 204};
// The bytes before a packet's sync byte that belong to it: the time stamp of 192.
int PrefixOf(int packetSize) { return packetSize == 192 ? 4 : 0; }
// Sync bytes at one spacing in a row that make a packet size, or mark where a
// stream goes on after lost sync. Fewer where the file has no room for more.
constexpr int kSyncRun = 5;
// How far into the file the first run of sync bytes is looked for.
constexpr uint64_t kDetectionLimit = 16u << 20;
constexpr size_t kSkipsKept = 10;

bool IsEmpty(const uint8_t* record) {
  return std::all_of(record, record + kPacketSize, [](uint8_t b) { return b == 0; });
}

// A dump's records that the module never writes: the section slots beyond one
// scan's, and every information slot but the odd ones it fills.
bool NeverWritten(int record) {
  if (record < kCaptureSlots) return record >= kSectionPacketsPerScan;
  const int slot = record - kCaptureSlots;
  return slot % 2 == 0 || slot >= kInfoCounterLimit;
}

// A file of a dump's size is a dump when most of the records the module never
// writes are empty; a stream has packets there.
bool LooksLikeDump(const std::vector<uint8_t>& bytes) {
  int empty = 0;
  int never = 0;
  for (int r = 0; r < kDumpRecords; ++r) {
    if (!NeverWritten(r)) continue;
    ++never;
    empty += IsEmpty(bytes.data() + static_cast<size_t>(r) * kPacketSize);
  }
  return empty * 2 > never;
}

LoadedCapture ReplayDump(const std::vector<uint8_t>& bytes) {
  LoadedCapture loaded;
  loaded.kind = InputKind::Dump;
  loaded.fileSize = bytes.size();
  const auto record = [&](int r) { return bytes.data() + static_cast<size_t>(r) * kPacketSize; };
  // A record that is neither empty nor a packet ends what can be trusted.
  int readable = kDumpRecords;
  int packets = 0;
  for (int r = 0; r < kDumpRecords; ++r) {
    if (IsEmpty(record(r))) continue;
    if (record(r)[0] != kSyncByte) {
      readable = r;
      break;
    }
    ++packets;
  }
  if (readable < kDumpRecords) {
    const long long at = static_cast<long long>(readable) * static_cast<long long>(kPacketSize);
    if (packets == 0) {
      throw InputError(
          Format("no packet in it: record %lld (byte %lld) is neither an empty slot "
                 "nor a packet, and no packet comes before it",
                 readable, at));
    }
    loaded.notes.push_back(
        {"dump_bad_record",
         Format("record %lld (byte %lld) is neither an empty slot nor a packet: the dump is read "
                "up to it, and the %lld records from there on are left out",
                readable, at, kDumpRecords - readable)});
  }

  // The section slots in order, as one capture: the module stores only PID
  // 0x0012 packets there, from slot 0 on, so anything else moves what follows.
  PacketCapture& capture = *loaded.capture;
  const int sectionEnd = std::min(kSectionPacketsPerScan, readable);
  int lastPacket = -1;
  for (int r = 0; r < sectionEnd; ++r) {
    if (IsSectionPacket(record(r))) lastPacket = r;
  }
  int skipped = 0;
  for (int r = 0; r <= lastPacket; ++r) {
    if (IsSectionPacket(record(r))) {
      capture.OnPacket(record(r));
    } else {
      ++skipped;
    }
  }
  if (skipped > 0) {
    loaded.notes.push_back(
        {"dump_section_gap",
         Format("%lld of section records 0..%lld hold no section packet; the module never "
                "leaves such a gap, so the packets after it are read one slot earlier here",
                skipped, lastPacket)});
  }
  int beyond = 0;
  for (int r = kSectionPacketsPerScan; r < std::min(kCaptureSlots, readable); ++r) {
    beyond += !IsEmpty(record(r));
  }
  if (beyond > 0) {
    loaded.notes.push_back(
        {"dump_records_beyond_capture",
         Format("%lld of section records %lld..%lld are not empty; the module never stores "
                "there, so they are left out",
                beyond, kSectionPacketsPerScan, kCaptureSlots - 1)});
  }

  // Information packets stand at the odd slots, in the order they came.
  int foreign = 0;
  for (int slot = 0; kCaptureSlots + slot < readable && slot < kCaptureSlots; ++slot) {
    const uint8_t* info = record(kCaptureSlots + slot);
    if (IsEmpty(info)) continue;
    if (IsInfoPacket(info) && !NeverWritten(kCaptureSlots + slot)) {
      capture.OnPacket(info);
    } else {
      ++foreign;
    }
  }
  if (foreign > 0) {
    loaded.notes.push_back(
        {"dump_foreign_info_records",
         Format("%lld information records are not information packets at the odd records "
                "%lld..%lld, where the module stores them; left out",
                foreign, kCaptureSlots + 1, kCaptureSlots + kInfoCounterLimit - 1)});
  }
  loaded.packetsRead = static_cast<uint64_t>(readable);
  return loaded;
}

// The file through a window that moves forward: a recording may be far larger
// than memory, and is read once.
class ByteWindow {
 public:
  ByteWindow(std::istream& in, uint64_t size) : in_(in), size_(size) {}

  uint64_t Size() const { return size_; }
  // The `count` bytes at `offset`, or null when the file ends first. Valid until
  // the next call. Reading goes forward; an offset before the window (a step
  // back after a look ahead) reads the file again from there.
  const uint8_t* At(uint64_t offset, size_t count) {
    if (offset > size_ || count > size_ - offset) return nullptr;
    if (offset < start_ || offset + count > start_ + buffer_.size()) Load(offset, count);
    return buffer_.data() + (offset - start_);
  }

 private:
  static constexpr size_t kChunk = 1u << 20;

  void Load(uint64_t offset, size_t count) {
    if (offset >= start_ && offset < start_ + buffer_.size()) {
      buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<ptrdiff_t>(offset - start_));
    } else {
      buffer_.clear();
      in_.clear();
      in_.seekg(static_cast<std::streamoff>(offset));
    }
    start_ = offset;
    const size_t want =
        static_cast<size_t>(std::min<uint64_t>(std::max(count, kChunk), size_ - offset));
    const size_t have = buffer_.size();
    buffer_.resize(want);
    in_.read(reinterpret_cast<char*>(buffer_.data() + have),
             static_cast<std::streamsize>(want - have));
    if (static_cast<size_t>(in_.gcount()) != want - have)
      throw InputError("the file cannot be read");
  }

  std::istream& in_;
  uint64_t size_;
  uint64_t start_ = 0;
  std::vector<uint8_t> buffer_;
};

// Whether sync bytes stand at `at` and at the next positions `size` apart:
// kSyncRun of them, or as many packets as the file still holds.
bool SyncRunAt(ByteWindow& file, uint64_t at, int size) {
  if (at + kPacketSize > file.Size()) return false;
  const uint64_t fit = (file.Size() - at - kPacketSize) / static_cast<uint64_t>(size) + 1;
  const int run = static_cast<int>(std::min<uint64_t>(kSyncRun, fit));
  const uint8_t* bytes = file.At(at, static_cast<size_t>(run - 1) * size + 1);
  for (int i = 0; i < run; ++i) {
    if (bytes[static_cast<size_t>(i) * size] != kSyncByte) return false;
  }
  return true;
}

// The first sync byte from `from` (below `limit`) that starts a run, or `limit`.
uint64_t NextSyncRun(ByteWindow& file, uint64_t from, uint64_t limit, int size) {
  constexpr size_t kStep = 64 * 1024;
  uint64_t at = from;
  while (at < limit) {
    const size_t span = static_cast<size_t>(std::min<uint64_t>(kStep, limit - at));
    const uint8_t* bytes = file.At(at, span);
    const void* hit = std::memchr(bytes, kSyncByte, span);
    if (hit == nullptr) {
      at += span;
      continue;
    }
    const uint64_t sync = at + static_cast<uint64_t>(static_cast<const uint8_t*>(hit) - bytes);
    if (SyncRunAt(file, sync, size)) {
      // A time stamp whose first byte happens to be 0x47 in packet after
      // packet (it changes about twice a second) runs at the same spacing:
      // the packet's own sync byte follows it.
      const uint64_t behind = sync + static_cast<uint64_t>(PrefixOf(size));
      if (behind != sync && SyncRunAt(file, behind, size)) return behind;
      return sync;
    }
    at = sync + 1;
  }
  return limit;
}

// The section packets of the whole file through windows of one capture's
// size, half a window apart: the module's extraction on each finds the
// markers that a capture started at another moment would find.
class LaterSearch {
 public:
  LaterSearch() : window_(std::make_unique<CaptureBuffer>()) {
    for (TsPacket& slot : *window_) slot.fill(0);
  }

  bool Done() const {
    return std::all_of(found_.begin(), found_.end(), [](const LaterMarker& m) { return m.found; });
  }
  void Add(const uint8_t* packet, uint64_t fileOffset) {
    std::memcpy((*window_)[count_].data(), packet, kPacketSize);
    offsets_[count_] = fileOffset;
    ++count_;
    pending_ = true;
    if (count_ < kSectionPacketsPerScan) return;
    Search();
    constexpr int kHalf = kSectionPacketsPerScan / 2;
    for (int i = 0; i < kSectionPacketsPerScan - kHalf; ++i) {
      (*window_)[i] = (*window_)[i + kHalf];
      offsets_[i] = offsets_[i + kHalf];
    }
    for (int i = kSectionPacketsPerScan - kHalf; i < kSectionPacketsPerScan; ++i) {
      (*window_)[i].fill(0);
    }
    count_ -= kHalf;
    first_ += kHalf;
  }
  // The file has ended: the packets not yet searched.
  const std::array<LaterMarker, kListKindCount>& Finish() {
    if (pending_) Search();
    return found_;
  }

 private:
  void Search() {
    pending_ = false;
    ExtractionReport report;
    ExtractPortalLists(*window_, lists_, nullptr, &report);
    for (int k = 0; k < kListKindCount; ++k) {
      const PacketCursor at = report[k].markerWithoutContinuity;
      const uint64_t packet = first_ + static_cast<uint64_t>(at.packet);
      // Within the module's own window it is no later marker.
      if (!at.Found() || found_[k].found || packet < kSectionPacketsPerScan) continue;
      found_[k] = {true, packet, offsets_[at.packet]};
    }
  }

  std::unique_ptr<CaptureBuffer> window_;
  std::array<uint64_t, kSectionPacketsPerScan> offsets_{};
  int count_ = 0;
  uint64_t first_ = 0;  // the file's section packet in slot 0
  bool pending_ = false;
  PortalLists lists_;
  std::array<LaterMarker, kListKindCount> found_;
};

// The table id of the section that starts in a packet, or -1.
int TableIdOf(const uint8_t* packet) {
  if ((packet[1] & 0x40) == 0) return -1;  // no payload unit start
  const int control = (packet[3] >> 4) & 0x03;
  if ((control & 0x01) == 0) return -1;  // no payload
  size_t at = 4;
  if (control & 0x02) at += 1 + packet[4];  // adaptation field
  if (at >= kPacketSize) return -1;
  at += 1 + packet[at];  // pointer field
  return at < kPacketSize ? packet[at] : -1;
}

// The packet size from the first run of sync bytes: the size whose run starts
// first. Leaves `reading` at the first packet; false when there is none.
bool DetectPacketSize(ByteWindow& file, StreamReading& reading) {
  const uint64_t limit = std::min(file.Size(), kDetectionLimit);
  uint64_t best = limit;
  for (const int size : kPacketSizes) {
    // A later size only wins by starting earlier.
    const uint64_t at = NextSyncRun(file, 0, best, size);
    if (at < best) {
      best = at;
      reading.packetSize = size;
    }
  }
  if (best == limit) return false;
  reading.firstPacket = best;
  reading.leadingBytes = best - std::min<uint64_t>(best, PrefixOf(reading.packetSize));
  reading.skippedBytes = reading.leadingBytes;
  return true;
}

LoadedCapture ReplayStream(std::istream& in, uint64_t fileSize) {
  LoadedCapture loaded;
  loaded.kind = InputKind::Stream;
  loaded.fileSize = fileSize;
  ByteWindow file(in, fileSize);
  StreamReading& reading = loaded.reading;
  // A file shorter than a dump may be a dump cut short: the message says so.
  const std::string dumpHint =
      fileSize < kDumpFileSize
          ? Format(
                "if it is a capture dump, it is cut short: a dump has %lld bytes, this file "
                "%lld",
                static_cast<long long>(kDumpFileSize), static_cast<long long>(fileSize))
          : std::string();
  if (!DetectPacketSize(file, reading)) {
    throw InputError(
        Format("no packet in it: no run of sync bytes (0x47) %lld, %lld or %lld bytes apart",
               kPacketSizes[0], kPacketSizes[1], kPacketSizes[2]) +
        (dumpHint.empty() ? std::string() : "; " + dumpHint));
  }

  PacketCapture& capture = *loaded.capture;
  std::vector<uint64_t> pids(kPidCount, 0);
  std::map<int, uint64_t> tables;
  LaterSearch later;
  bool zeroSkip = false;
  const auto size = static_cast<uint64_t>(reading.packetSize);
  uint64_t at = reading.firstPacket;
  while (true) {
    const uint8_t* packet = file.At(at, kPacketSize);
    if (packet == nullptr) {
      if (at < fileSize) {
        reading.cutOffset = at;
        reading.cutBytes = fileSize - at;
      }
      break;
    }
    // A packet whose successor has no sync byte may itself be cut short by
    // lost bytes: when a run of sync bytes starts inside it, it is skipped.
    uint64_t next = fileSize;
    bool lost = packet[0] != kSyncByte;
    if (!lost) {
      const uint8_t* after = file.At(at + size, 1);
      if (after != nullptr && *after != kSyncByte) {
        next = NextSyncRun(file, at + 1, at + size, reading.packetSize);
        lost = next < at + size;
      }
    } else {
      next = NextSyncRun(file, at + 1, fileSize, reading.packetSize);
    }
    // The checks may have moved the window.
    packet = file.At(at, kPacketSize);
    if (lost) {
      zeroSkip = zeroSkip || IsEmpty(packet);
      if (reading.skips.size() < kSkipsKept) {
        reading.skips.push_back({at, next - at, loaded.packetsRead});
      }
      ++reading.skipCount;
      reading.skippedBytes += next - at;
      at = next;
      continue;
    }
    ++pids[((packet[1] & 0x1F) << 8) | packet[2]];
    if (IsSectionPacket(packet)) {
      const int table = TableIdOf(packet);
      if (table >= 0) ++tables[table];
      if (!later.Done()) later.Add(packet, at);
      ++loaded.sectionPacketsInFile;
    } else if (IsInfoPacket(packet)) {
      ++loaded.infoPacketsInFile;
    }
    // The module stops the delivery once both captures are full.
    if (!capture.Complete()) {
      capture.OnPacket(packet);
      ++loaded.packetsCaptured;
    }
    ++loaded.packetsRead;
    at += size;
  }
  if (loaded.packetsRead == 0) {
    throw InputError("no packet in it: the file ends inside its first packet" +
                     (dumpHint.empty() ? std::string() : "; " + dumpHint));
  }
  if (!dumpHint.empty() && zeroSkip) {
    loaded.notes.push_back({"dump_cut_short", dumpHint});
  }

  for (int pid = 0; pid < kPidCount; ++pid) {
    if (pids[pid] > 0) loaded.pids.push_back({pid, pids[pid]});
  }
  std::stable_sort(loaded.pids.begin(), loaded.pids.end(),
                   [](const PidCount& a, const PidCount& b) { return a.packets > b.packets; });
  loaded.sectionTables.assign(tables.begin(), tables.end());
  loaded.later = later.Finish();
  return loaded;
}

}  // namespace

LoadedCapture ReadCapture(std::istream& in) {
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  in.seekg(0, std::ios::beg);
  if (!in || end < 0) throw InputError("the file cannot be read");
  const auto size = static_cast<uint64_t>(end);
  if (size == 0) throw InputError("the file is empty");

  if (size == kDumpFileSize) {
    std::vector<uint8_t> bytes(kDumpFileSize);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
      throw InputError("the file cannot be read");
    }
    if (LooksLikeDump(bytes)) return ReplayDump(bytes);
    in.clear();
    in.seekg(0, std::ios::beg);
  }
  return ReplayStream(in, size);
}

}  // namespace zp::inspect
