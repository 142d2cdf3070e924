// libFuzzer entry for the "profile" target.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ls::fuzz::RunTarget("profile", data, size);
  return 0;
}
