#include "feed/ServiceIndex.h"

#include <cstring>

namespace zp {

namespace {

// Only TV channels with a frequency are indexed or shown.
bool Qualifies(const HostChannelRecord& record) { return record.dwFreq != 0 && record.ChType == 1; }

// A later record takes over a taken slot when the viewer marks it as the
// current one of its kind: an ActualChName beginning with "nameless"
// (exactly, case-sensitive) or satellite position 192.
bool Overrides(const HostChannelRecord& record) {
  return std::memcmp(record.ActualChName, "nameless", 8) == 0 || record.wSatPos == 192;
}

}  // namespace

std::string FixedNameText(const char (&field)[32]) {
  // A zero byte does not end the name: every non-zero byte of the field counts.
  std::string text;
  for (const char c : field) {
    if (c != 0) text += c;
  }
  return text;
}

void ServiceIndex::Build(const HostChannelTable* table) {
  slots_.fill(0);
  // Without a table there is nothing to index yet; a later call may have one.
  if (table == nullptr) return;
  for (int32_t position = 0; position < kHostChannelCount; ++position) {
    const HostChannelRecord& record = table->Records[position];
    if (!Qualifies(record)) continue;
    // wSID is 16 bits: every record has its slot.
    uint16_t& slot = slots_[record.wSID];
    if (slot == 0 || Overrides(record)) slot = static_cast<uint16_t>(position);
  }
  built_ = true;
}

int32_t ServiceIndex::FindServicePosition(const HostChannelTable* table, int32_t serviceId) {
  if (!built_) Build(table);
  if (serviceId <= 0 || serviceId > kMaxIndexedServiceId) return 0;
  return slots_[serviceId];
}

void TuneToService(ServiceIndex& index, const HostChannelTable* table, HostLink& host,
                   MessageSink& messages, int32_t serviceId) {
  const int32_t position = index.FindServicePosition(table, serviceId);
  if (position != 0) {
    TuneToPosition(host, position);
    return;
  }
  messages.ShowMessage("Sorry, but there is no TV channel with SID " + std::to_string(serviceId) +
                       " in channel list!");
}

std::string ChannelInfoText(const HostChannelRecord& record) {
  std::string text = "Channel Info: ";
  const auto item = [&text](const char* label, const std::string& value) {
    text.append("\r").append(label).append(value);
  };
  const auto number = [](uint32_t value) { return std::to_string(value); };
  item("wSatPos: ", number(record.wSatPos));
  item("dwFreq: ", number(record.dwFreq));
  item("dwSr: ", number(record.dwSr));
  item("Pol: ", number(record.Pol));
  item("Length: ", number(sizeof record.ChName));
  item("ChName: ", FixedNameText(record.ChName));
  item("Provider: ", FixedNameText(record.Provider));
  item("ActualChName: ", FixedNameText(record.ActualChName));
  item("ChType: ", number(record.ChType));
  item("Scrambled: ", number(record.Scrambled));
  item("wNID: ", number(record.wNID));
  item("wTID: ", number(record.wTID));
  item("wSID: ", number(record.wSID));
  item("wVideo: ", number(record.wVideo));
  item("wPMT: ", number(record.wPMT));
  item("wPCR: ", number(record.wPCR));
  item("wTTX: ", number(record.wTTX));
  item("wChNo: ", number(record.wChNo));
  item("wChFav: ", number(record.wChFav));
  return text;
}

void ShowChannelInfo(const HostChannelTable* table, MessageSink& messages, int32_t serviceId) {
  if (table == nullptr) return;
  // Needs no index, so any id works; one box per matching record, in order.
  for (int32_t position = 0; position < kHostChannelCount; ++position) {
    const HostChannelRecord& record = table->Records[position];
    if (Qualifies(record) && record.wSID == serviceId) {
      messages.ShowMessage(ChannelInfoText(record));
    }
  }
}

}  // namespace zp
