// libFuzzer entry for the "picture_ico" target.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ls::fuzz::RunTarget("picture_ico", data, size);
  return 0;
}
