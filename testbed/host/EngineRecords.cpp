// The records the stand-in renderer is given, kept for tests and the program to read back.
#include "testbed/host/Host.h"

#include "common/MeshSlot.h"

namespace tb {

// Copies what the stand-in renderer is given before it sees it, so that tests read the record
// exactly as it arrived, whatever the sender does with it afterwards.
void Host::recordEngineDelivery(CommandTarget target, PF_Cmd cmd, const void* extra) {
  if (cmd != PF_Cmd_COMPLETELY_GENERAL || !extra || target.module->matchName() != "ZEK TOLV_Engine")
    return;
  ++engineDeliveries_;
  if (!keepEngineRecords_)
    return;
  const auto* bytes = static_cast<const unsigned char*>(extra);
  std::vector<unsigned char> copy;
  if (!spareRecordBytes_.empty()) {
    copy = std::move(spareRecordBytes_.back());
    spareRecordBytes_.pop_back();
  }
  copy.assign(bytes, bytes + kMeshSlotBytes);
  engineRecords_.push_back({target.effect, std::move(copy)});
}

// A render loop clears the records after each frame; their storage is kept for the next ones, so
// that a record costs one copy and not a fresh block of pages each time.
void Host::clearEngineRecords() {
  constexpr size_t kKeptRecords = 4;
  for (EngineRecord& record : engineRecords_) {
    if (spareRecordBytes_.size() < kKeptRecords)
      spareRecordBytes_.push_back(std::move(record.bytes));
  }
  engineRecords_.clear();
}

}  // namespace tb
