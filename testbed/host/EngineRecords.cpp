// The records the stand-in renderer is given, kept for tests and the program to read back.
#include "testbed/host/Host.h"

#include "common/MeshSlot.h"

namespace tb {

// Copies what the stand-in renderer is given before it sees it, so that tests read the record
// exactly as it arrived, whatever the sender does with it afterwards.
void Host::recordEngineDelivery(CommandTarget target, PF_Cmd cmd, const void* extra) {
  if (cmd != PF_Cmd_COMPLETELY_GENERAL || !extra || target.module->matchName() != "ZEK TOLV_Engine")
    return;
  const auto* bytes = static_cast<const unsigned char*>(extra);
  engineRecords_.push_back(
      {target.effect, std::vector<unsigned char>(bytes, bytes + kMeshSlotBytes)});
}

}  // namespace tb
