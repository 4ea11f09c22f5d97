// The yardstick every benchmark is read against: a memcpy of one MeshSlot, measured in the same
// run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/MeshSlot.h"

inline void MemcpyMeshSlot(benchmark::State& state) {
  std::vector<char> from(kMeshSlotBytes, 1);
  std::vector<char> to(kMeshSlotBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kMeshSlotBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kMeshSlotBytes));
}
