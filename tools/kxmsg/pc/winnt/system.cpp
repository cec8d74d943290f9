// Windows hands narrow arguments over in the system's code page, which
// cannot hold every character: they are taken from the wide command line
// and turned into UTF-8, and UTF-8 paths are opened through their wide form.

#include "system.hpp"

#include <windows.h>

#include <cstring>
#include <filesystem>
// windows.h first: shellapi.h uses its types.
#include <shellapi.h>

namespace kxmsg {

std::vector<std::string> argumentsOf(int argc, char **argv) {
  int count = 0;
  wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string argument(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) {
      WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, argument.data(), size, nullptr, nullptr);
    }
    arguments.push_back(argument);
  }
  LocalFree(wide);
  return arguments;
}

std::FILE *openFile(const std::string &path, const char *mode) {
  const std::wstring wideMode(mode, mode + std::strlen(mode));
  return _wfopen(std::filesystem::u8path(path).c_str(), wideMode.c_str());
}

}  // namespace kxmsg
