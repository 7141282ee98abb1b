#pragma once

#include <cstddef>
#include <cstdint>

#include "module/Platform.h"

// Records and codes shared with the viewer. Every layout here crosses the
// process boundary byte for byte: packed, little-endian, checked below.
namespace zp {

// Every command travels to the viewer's main window as this message,
// wParam = command code, lParam = argument.
inline constexpr uint32_t kHostCommandMessage = 1345;

enum class HostCommandCode : uint32_t {
  GetCurrentPosition = 0x100003,  // lParam: address of an int32 the viewer fills
  TuneToPosition = 0x100004,      // lParam: channel position, by value
  HostInfoQuery = 0x100009,       // lParam: address of a buffer, first dword = 25
  StartPacketFilter = 0x10000C,   // lParam: address of the PacketFilterRequest
  StopPacketFilter = 0x10000D,    // lParam: the request's Handle, by value
  GetChannelTable = 0x10003B,     // lParam: address of a 32-bit table-address variable
};

inline constexpr int kHostChannelCount = 8000;
inline constexpr size_t kHostInfoQuerySize = 25;
inline constexpr size_t kTsPacketSize = 188;

#pragma pack(push, 1)

struct HostChannelRecord {
  uint16_t wSatPos;
  uint32_t dwFreq;  // 0: the position is empty
  uint32_t dwSr;
  uint8_t Pol;
  char ChName[32];  // zero-padded, no terminator when full
  char Provider[32];
  char ActualChName[32];
  uint8_t ChType;  // 1: TV channel
  uint8_t Scrambled;
  uint16_t wNID;
  uint16_t wTID;
  uint16_t wSID;
  uint16_t wVideo;
  uint16_t wPMT;
  uint16_t wPCR;
  uint16_t wTTX;
  uint16_t wChNo;
  uint16_t wChFav;
  uint8_t Unused[394];
};

// The viewer's channel table; the module reads it in place and never copies it.
struct HostChannelTable {
  uint8_t Header[13466];
  HostChannelRecord Records[kHostChannelCount];
};

struct PacketFilterRequest {
  uint32_t Size;      // 187
  uint16_t Word4;     // 2
  uint16_t Word6;     // 0x2000, one above the largest PID
  uint32_t Callback;  // 32-bit address of the packet callback
  uint32_t Handle;    // written by the viewer on start, passed back on stop
  uint8_t Reserved16[43];
  char OwnerName[64];
  uint8_t Reserved123[64];
};

struct ModuleInfoRecord {
  uint32_t Version;  // 0x01050000
  char Name[32];
  uint8_t Reserved36[32];
  uint8_t Reserved68[32];
  uint32_t Value100;  // 0x01000000
  uint16_t Value104;  // 0
  uint32_t Value106;  // 14
  uint32_t Value110;  // 0x00090009
};

struct ModuleInitRecord {
  uint32_t HostWindow;
};

#pragma pack(pop)

static_assert(sizeof(HostChannelRecord) == 521);
static_assert(offsetof(HostChannelRecord, wSatPos) == 0);
static_assert(offsetof(HostChannelRecord, dwFreq) == 2);
static_assert(offsetof(HostChannelRecord, dwSr) == 6);
static_assert(offsetof(HostChannelRecord, Pol) == 10);
static_assert(offsetof(HostChannelRecord, ChName) == 11);
static_assert(offsetof(HostChannelRecord, Provider) == 43);
static_assert(offsetof(HostChannelRecord, ActualChName) == 75);
static_assert(offsetof(HostChannelRecord, ChType) == 107);
static_assert(offsetof(HostChannelRecord, Scrambled) == 108);
static_assert(offsetof(HostChannelRecord, wNID) == 109);
static_assert(offsetof(HostChannelRecord, wTID) == 111);
static_assert(offsetof(HostChannelRecord, wSID) == 113);
static_assert(offsetof(HostChannelRecord, wVideo) == 115);
static_assert(offsetof(HostChannelRecord, wPMT) == 117);
static_assert(offsetof(HostChannelRecord, wPCR) == 119);
static_assert(offsetof(HostChannelRecord, wTTX) == 121);
static_assert(offsetof(HostChannelRecord, wChNo) == 123);
static_assert(offsetof(HostChannelRecord, wChFav) == 125);
static_assert(offsetof(HostChannelRecord, Unused) == 127);

static_assert(offsetof(HostChannelTable, Records) == 13466);
static_assert(sizeof(HostChannelTable) == 4181466);

static_assert(sizeof(PacketFilterRequest) == 187);
static_assert(offsetof(PacketFilterRequest, Size) == 0);
static_assert(offsetof(PacketFilterRequest, Word4) == 4);
static_assert(offsetof(PacketFilterRequest, Word6) == 6);
static_assert(offsetof(PacketFilterRequest, Callback) == 8);
static_assert(offsetof(PacketFilterRequest, Handle) == 12);
static_assert(offsetof(PacketFilterRequest, Reserved16) == 16);
static_assert(offsetof(PacketFilterRequest, OwnerName) == 59);
static_assert(offsetof(PacketFilterRequest, Reserved123) == 123);

static_assert(sizeof(ModuleInfoRecord) == 114);
static_assert(offsetof(ModuleInfoRecord, Version) == 0);
static_assert(offsetof(ModuleInfoRecord, Name) == 4);
static_assert(offsetof(ModuleInfoRecord, Reserved36) == 36);
static_assert(offsetof(ModuleInfoRecord, Reserved68) == 68);
static_assert(offsetof(ModuleInfoRecord, Value100) == 100);
static_assert(offsetof(ModuleInfoRecord, Value104) == 104);
static_assert(offsetof(ModuleInfoRecord, Value106) == 106);
static_assert(offsetof(ModuleInfoRecord, Value110) == 110);

static_assert(sizeof(ModuleInitRecord) == 4);
static_assert(offsetof(ModuleInitRecord, HostWindow) == 0);

// The signature the viewer calls for every delivered packet.
using PacketCallbackFn = int32_t(ZP_STDCALL*)(const uint8_t* packet, uint32_t, uint32_t);

// A 32-bit address as the viewer's records carry it. In the 32-bit module this
// is the pointer itself; native test builds only compare the value.
template <class T>
uint32_t ToHostAddress(T* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

}  // namespace zp
