// libFuzzer entry for the "picture_jpg" target.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ls::fuzz::RunTarget("picture_jpg", data, size);
  return 0;
}
