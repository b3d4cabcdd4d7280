// Blocks handed to the viewer (highlights, texts) come from the viewer's own global-memory layer
// so that it can free them with its own call. The host installs its allocator at start-up; the
// default one serves tools and tests.
#pragma once

#include <cstddef>

namespace mv {

using GlobalHandle = void*;

struct GlobalMemory {
  GlobalHandle (*allocate)(std::size_t bytes);  // zero-filled; nullptr on failure
  void* (*lock)(GlobalHandle);
  void (*unlock)(GlobalHandle);
  std::size_t (*size)(GlobalHandle);
  void (*release)(GlobalHandle);
};

void SetGlobalMemory(const GlobalMemory& memory);
const GlobalMemory& CurrentGlobalMemory();

GlobalHandle GlobalAllocate(std::size_t bytes);
void GlobalRelease(GlobalHandle handle);

}  // namespace mv
