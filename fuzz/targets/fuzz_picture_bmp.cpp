// libFuzzer entry for the "picture_bmp" target.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ls::fuzz::RunTarget("picture_bmp", data, size);
  return 0;
}
