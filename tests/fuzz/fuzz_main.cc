// libFuzzer's entry for one harness, chosen when the fuzzer is built.
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return rh::fuzz::RH_FUZZ_HARNESS(data, size);
}
