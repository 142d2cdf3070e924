// libFuzzer entry for the "package" target.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ls::fuzz::RunTarget("package", data, size);
  return 0;
}
