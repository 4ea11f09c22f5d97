#include "testbed/host/EngineRequest.h"

#include "TOLV_AEGP/AEGP_TOLVSuite.h"
#include "testbed/host/Host.h"

namespace tb {

A_Err requestEngineUpdate(Host& host, A_Boolean pending) {
  const SPBasicSuite* basic = basicSuite();
  host.ledger().beginCommand("engine update request");
  const void* suite = nullptr;
  A_Err err = basic->AcquireSuite(kAEGPTOLVSuite, kAEGPTOLVSuiteVersion1, &suite);
  if (err == A_Err_NONE && suite) {
    err = static_cast<const AEGP_TOLVSuite1*>(suite)->SetEngineUpdatePending(pending);
    basic->ReleaseSuite(kAEGPTOLVSuite, kAEGPTOLVSuiteVersion1);
  }
  for (const std::string& held : host.ledger().endCommand().held)
    host.ledger().violation("engine update request: held: " + held);
  return err;
}

}  // namespace tb
