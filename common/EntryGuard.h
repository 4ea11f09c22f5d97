// The one catch ladder at the C boundary of an effect's entry point.
//
// Nothing may unwind through the host's C frames: a missing suite arrives as an integer and becomes
// PF_Err_BAD_CALLBACK_PARAM, an exhausted heap becomes PF_Err_OUT_OF_MEMORY, and anything else
// becomes PF_Err_INTERNAL_STRUCT_DAMAGED.
#pragma once

#include <new>

#include "AE_Effect.h"

template <class Handler>
PF_Err GuardedCommand(Handler&& handler) noexcept {
  try {
    return handler();
  } catch (int) {
    return PF_Err_BAD_CALLBACK_PARAM;
  } catch (unsigned int) {
    return PF_Err_BAD_CALLBACK_PARAM;
  } catch (long) {
    return PF_Err_BAD_CALLBACK_PARAM;
  } catch (unsigned long) {
    return PF_Err_BAD_CALLBACK_PARAM;
  } catch (long long) {
    return PF_Err_BAD_CALLBACK_PARAM;
  } catch (unsigned long long) {
    return PF_Err_BAD_CALLBACK_PARAM;
  } catch (short) {
    return PF_Err_BAD_CALLBACK_PARAM;
  } catch (unsigned short) {
    return PF_Err_BAD_CALLBACK_PARAM;
  } catch (const std::bad_alloc&) {
    return PF_Err_OUT_OF_MEMORY;
  } catch (...) {
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
}
