// Loads and unloads a library that uses kxli, in a program that is not
// linked to kxli itself: unloading that library unloads kxli, and kxli's
// clean-up chain must then release the string class's lock exactly once.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "kxecs.h"
#include "kxlcodes.hpp"
#include "kxlmodule.hpp"

namespace {

const char kReleaseText[] = "Releasing KxlString resources";

// Keeps the texts kxecs receives while it is installed.
class TextSink {
 public:
  TextSink() { xcsSetTraceSink(&TextSink::receive, this); }
  ~TextSink() { xcsSetTraceSink(nullptr, nullptr); }
  TextSink(const TextSink &) = delete;
  TextSink &operator=(const TextSink &) = delete;

  // The texts of kxli's component and `function`, in order.
  std::vector<std::string> texts(std::uint32_t function) const {
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<std::string> result;
    for (const Text &text : texts_)
      if (text.component == kKxlComponent && text.function == function) result.push_back(text.text);
    return result;
  }

 private:
  struct Text {
    std::uint32_t component;
    std::uint32_t function;
    std::string text;
  };

  static void receive(const xcsTraceRecord *record, void *context) {
    if (record->kind != XCS_TEXT) return;
    auto *self = static_cast<TextSink *>(context);
    std::lock_guard<std::mutex> hold(self->mutex_);
    self->texts_.push_back(Text{record->component, record->function, record->text});
  }

  mutable std::mutex mutex_;
  std::vector<Text> texts_;
};

using PluginCopyOut = long (*)(char *buffer, std::size_t length);

// Loads the plugin, copies a text out through it (so that the string
// class's lock exists) and unloads it again, checking each step.
void loadUseAndUnload() {
  kxltest::LoadedModule plugin(KXLTEST_PLUGIN_FILE);
  ASSERT_TRUE(plugin.loaded()) << plugin.error();
  ASSERT_NE(kxltest::loadedModuleHandle(KXLTEST_KXLI_FILE), nullptr)
      << "loading the plugin did not load kxli";
  auto copyOut = reinterpret_cast<PluginCopyOut>(plugin.find("kxlPluginCopyOut"));
  ASSERT_NE(copyOut, nullptr) << plugin.error();

  char buffer[9] = "xxxxxxxx";
  EXPECT_EQ(copyOut(buffer, 8), 0);
  EXPECT_EQ(std::string(buffer), "plugin  ");

  ASSERT_TRUE(plugin.unload()) << plugin.error();
  EXPECT_EQ(kxltest::loadedModuleHandle(KXLTEST_KXLI_FILE), nullptr)
      << "kxli stayed loaded after the plugin was unloaded";
}

TEST(LibraryUnload, ReleasesTheStringLockOnceAtUnload) {
  TextSink sink;
  kxltest::LoadedModule plugin(KXLTEST_PLUGIN_FILE);
  ASSERT_TRUE(plugin.loaded()) << plugin.error();
  auto copyOut = reinterpret_cast<PluginCopyOut>(plugin.find("kxlPluginCopyOut"));
  ASSERT_NE(copyOut, nullptr) << plugin.error();

  char buffer[8];
  ASSERT_EQ(copyOut(buffer, sizeof buffer), 0);
  EXPECT_TRUE(sink.texts(kKxlFnStringCleanUp).empty()) << "released while still loaded";

  ASSERT_TRUE(plugin.unload()) << plugin.error();
  EXPECT_EQ(kxltest::loadedModuleHandle(KXLTEST_KXLI_FILE), nullptr)
      << "kxli stayed loaded after the plugin was unloaded";
  EXPECT_EQ(sink.texts(kKxlFnStringCleanUp), std::vector<std::string>{kReleaseText});
}

TEST(LibraryUnload, EachLoadOfTheLibraryReleasesItsOwnLock) {
  TextSink sink;
  loadUseAndUnload();
  loadUseAndUnload();
  EXPECT_EQ(sink.texts(kKxlFnStringCleanUp),
            (std::vector<std::string>{kReleaseText, kReleaseText}));
}

TEST(LibraryUnload, NothingToReleaseWhenNoTextWasCopiedOut) {
  TextSink sink;
  {
    kxltest::LoadedModule plugin(KXLTEST_PLUGIN_FILE);
    ASSERT_TRUE(plugin.loaded()) << plugin.error();
    ASSERT_TRUE(plugin.unload()) << plugin.error();
  }
  EXPECT_EQ(kxltest::loadedModuleHandle(KXLTEST_KXLI_FILE), nullptr);
  EXPECT_TRUE(sink.texts(kKxlFnStringCleanUp).empty());
}

}  // namespace
