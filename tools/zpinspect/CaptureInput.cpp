#include "tools/zpinspect/CaptureInput.h"

#include <algorithm>

#include "feed/CaptureDump.h"
#include "tools/zpinspect/Format.h"

namespace zp::inspect {

namespace {

constexpr uint8_t kSyncByte = 0x47;
constexpr size_t kPacketSize = kTsPacketSize;

bool IsEmpty(const uint8_t* record) {
  return std::all_of(record, record + kPacketSize, [](uint8_t b) { return b == 0; });
}

// Every record of a dump is an empty slot or a packet as the viewer delivered it.
bool AllRecordsArePackets(const std::vector<uint8_t>& bytes) {
  for (size_t at = 0; at < bytes.size(); at += kPacketSize) {
    if (bytes[at] != kSyncByte) return false;
  }
  return true;
}

LoadedCapture ReplayDump(const std::vector<uint8_t>& bytes) {
  LoadedCapture loaded;
  loaded.kind = InputKind::Dump;
  loaded.fileSize = bytes.size();
  const auto record = [&](int r) { return bytes.data() + static_cast<size_t>(r) * kPacketSize; };
  for (int r = 0; r < kDumpRecords; ++r) {
    if (!IsEmpty(record(r)) && record(r)[0] != kSyncByte) {
      throw InputError(
          Format("record %lld (byte %lld) is neither an empty slot nor a packet: "
                 "this is not a capture dump",
                 r, static_cast<long long>(r) * kPacketSize));
    }
  }

  // The section slots in order, as one capture: the module stores only PID
  // 0x0012 packets there, from slot 0 on, so anything else moves what follows.
  PacketCapture& capture = *loaded.capture;
  int lastPacket = -1;
  for (int r = 0; r < kSectionPacketsPerScan; ++r) {
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
        Format("%lld of section records 0..%lld hold no section packet; the "
               "module never leaves such a gap, so the packets after it are "
               "read one slot earlier here",
               skipped, lastPacket));
  }
  int beyond = 0;
  for (int r = kSectionPacketsPerScan; r < kCaptureSlots; ++r) beyond += !IsEmpty(record(r));
  if (beyond > 0) {
    loaded.notes.push_back(
        Format("%lld of section records 500..999 are not empty; the module "
               "never stores there, so they are left out",
               beyond));
  }

  // Information packets stand at the odd slots 1..19, in the order they came.
  int foreign = 0;
  for (int slot = 0; slot < kCaptureSlots; ++slot) {
    const uint8_t* info = record(kCaptureSlots + slot);
    if (IsEmpty(info)) continue;
    if (IsInfoPacket(info) && slot % 2 == 1 && slot < kInfoCounterLimit) {
      capture.OnPacket(info);
    } else {
      ++foreign;
    }
  }
  if (foreign > 0) {
    loaded.notes.push_back(
        Format("%lld information records are not information packets at the odd "
               "records 1001..1019, where the module stores them; left out",
               foreign));
  }
  loaded.packetsRead = kDumpRecords;
  return loaded;
}

LoadedCapture ReplayStream(std::istream& in, uint64_t fileSize) {
  LoadedCapture loaded;
  loaded.kind = InputKind::Stream;
  loaded.fileSize = fileSize;
  // A file shorter than a dump may be a dump cut short: the message says so.
  const std::string dumpHint =
      fileSize < kDumpFileSize
          ? Format(
                "; if it is a capture dump, it is cut short: a dump has %lld bytes, this "
                "file %lld",
                static_cast<long long>(kDumpFileSize), static_cast<long long>(fileSize))
          : std::string();
  PacketCapture& capture = *loaded.capture;
  TsPacket packet;
  // The module stops the delivery once both captures are full.
  while (!capture.Complete()) {
    in.read(reinterpret_cast<char*>(packet.data()), kPacketSize);
    if (in.bad()) throw InputError("the file cannot be read");
    const auto got = static_cast<size_t>(in.gcount());
    if (got == 0) break;
    const auto n = static_cast<long long>(loaded.packetsRead);
    if (got < kPacketSize) {
      throw InputError(
          Format("the file ends inside packet %lld, after %lld of its 188 bytes", n, got) +
          dumpHint);
    }
    if (packet[0] != kSyncByte) {
      if (IsEmpty(packet.data()) && !dumpHint.empty()) {
        throw InputError(Format("packet %lld is all zero bytes, like an empty slot of a capture "
                                "dump",
                                n) +
                         dumpHint);
      }
      throw InputError(
          Format("packet %lld (byte %lld) starts with 0x%02llX, not the sync byte "
                 "0x47: this is neither a capture dump nor a transport stream of "
                 "188-byte packets",
                 n, n * static_cast<long long>(kPacketSize), packet[0]));
    }
    capture.OnPacket(packet.data());
    ++loaded.packetsRead;
  }
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
    // A stream of exactly 2000 packets has a sync byte everywhere; a dump never does.
    if (!AllRecordsArePackets(bytes)) return ReplayDump(bytes);
    in.seekg(0, std::ios::beg);
  }
  return ReplayStream(in, size);
}

}  // namespace zp::inspect
