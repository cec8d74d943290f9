// Runs a fuzz target over files, without libFuzzer: each file named, and
// each regular file in each directory named (not recursing, in name order),
// is one input. A broken property aborts the program, so the exit status
// says whether every input kept them. Built beside each target and run by
// CTest in every configuration, so that the seeds guard the properties
// everywhere the tests run.
//   fuzz_TARGET_replay PATH...
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The files `path` names: itself, or the regular files in it.
std::vector<fs::path> inputsOf(const fs::path &path) {
  if (!fs::is_directory(path)) return {path};
  std::vector<fs::path> files;
  for (const fs::directory_entry &entry : fs::directory_iterator(path)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool replay(const fs::path &file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    return false;
  }
  // An exact-size copy, so that a sanitizer sees any read past the end.
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.data(), input.size());
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PATH...\n", argv[0]);
    return 2;
  }
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    if (!fs::exists(argv[i], error)) {
      std::fprintf(stderr, "no such file or directory: %s\n", argv[i]);
      return 2;
    }
    for (const fs::path &file : inputsOf(argv[i])) {
      if (!replay(file)) return 2;
      ++count;
    }
  }
  std::printf("replayed %lu inputs\n", static_cast<unsigned long>(count));
  return count == 0 ? 1 : 0;
}
