// Runs a fuzz target over each file named and each file in each directory named,
// in name order; a broken property aborts.
//   fuzz_TARGET_replay PATH...
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

int main(int argc, char **argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    if (!fs::is_directory(argv[i], error)) files.push_back(argv[i]);
    for (const fs::directory_entry &entry : fs::directory_iterator(argv[i], error))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path &file : files) {
    std::ifstream in(file, std::ios::binary);
    // An exact-size copy, so that a sanitizer sees any read past the end.
    const std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(in)), {});
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
      return 2;
    }
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("replayed %lu inputs\n", static_cast<unsigned long>(files.size()));
  return files.empty() ? 1 : 0;
}
