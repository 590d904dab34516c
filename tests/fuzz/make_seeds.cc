// Writes the seed corpus of every fuzz target: OUTDIR/<target>/seed-NNN.
//   fuzz_seeds OUTDIR [TARGET...]
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/fuzz/harness.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fuzz_seeds OUTDIR [TARGET...]\n");
    return 2;
  }
  namespace fs = std::filesystem;
  for (const rh::fuzz::Target& t : rh::fuzz::Targets()) {
    bool wanted = argc == 2;
    for (int i = 2; i < argc; ++i) wanted |= t.name == std::string_view(argv[i]);
    if (!wanted) continue;
    fs::path dir = fs::path(argv[1]) / t.name;
    fs::create_directories(dir);
    int n = 0;
    for (const std::string& seed : t.seeds()) {
      char name[32];
      std::snprintf(name, sizeof name, "seed-%03d", n++);
      std::ofstream(dir / name, std::ios::binary) << seed;
    }
    std::printf("%s: %d seeds\n", t.name, n);
  }
  // The driver fuzzers live in their own binaries.
  for (auto [name, target] : {std::pair{"dbf_driver", rh::TableTarget::kDBase},
                              std::pair{"xls_driver", rh::TableTarget::kExcel}}) {
    bool wanted = argc == 2;
    for (int i = 2; i < argc; ++i) wanted |= name == std::string_view(argv[i]);
    if (!wanted) continue;
    fs::path dir = fs::path(argv[1]) / name;
    fs::create_directories(dir);
    int n = 0;
    for (const std::string& seed : rh::fuzz::TableDriverSeeds(target)) {
      char file[32];
      std::snprintf(file, sizeof file, "seed-%03d", n++);
      std::ofstream(dir / file, std::ios::binary) << seed;
    }
    std::printf("%s: %d seeds\n", name, n);
  }
  return 0;
}
