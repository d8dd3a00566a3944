// libFuzzer entry, built once per target with ROSTREL_FUZZ_CHECK naming its
// property: any failure stops the run with the input kept.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/fuzz_targets.h"
#include "tests/fuzz/session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = rostrel::fuzz::ROSTREL_FUZZ_CHECK(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "property failed: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
