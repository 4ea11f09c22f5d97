// The host's memory handles as plug-ins reach them, accounted to modules and checked.
#include "testbed/host/Host.h"

#include "testbed/host/CommandNames.h"

namespace tb {

// Sequence data is the module's to dispose in setdown, or when it replaces it in resetup or
// flatten; anywhere else the instance would be left with a dead handle.
bool Host::maySequenceDataGo(PF_Handle h) const {
  const CommandTarget target = currentTarget();
  if (!target.effect || target.effect->sequenceData != h)
    return true;
  const std::string command = ledger_.currentCommand();
  return command == commandName(PF_Cmd_SEQUENCE_SETDOWN) ||
         command == commandName(PF_Cmd_SEQUENCE_RESETUP) ||
         command == commandName(PF_Cmd_SEQUENCE_FLATTEN);
}

PF_Handle Host::newHandle(A_u_longlong size, const Module* owner) {
  if (!ledger_.allowHandle())
    return nullptr;
  if (!owner)
    owner = currentTarget().module;
  return handles_.allocate(size, owner ? moduleLabel(*owner) : std::string());
}

bool Host::isHandle(PF_Handle h) const {
  return handles_.live(h);
}

void Host::disposeHandle(PF_Handle h) {
  if (handles_.live(h) && !maySequenceDataGo(h))
    ledger_.violation("host_dispose_handle: disposed the instance's sequence data");
  if (!handles_.dispose(h))
    ledger_.violation("host_dispose_handle: not a live handle");
}

A_u_longlong Host::handleSize(PF_Handle h) const {
  return handles_.size(h);
}

PF_Err Host::resizeHandle(A_u_longlong size, PF_Handle* h) {
  if (!h || !isHandle(*h))
    return PF_Err_BAD_CALLBACK_PARAM;
  if (!ledger_.allowHandle())
    return PF_Err_OUT_OF_MEMORY;
  return handles_.resize(*h, size) ? PF_Err_NONE : PF_Err_OUT_OF_MEMORY;
}

size_t Host::liveHandles() const {
  return handles_.liveCount();
}

}  // namespace tb
