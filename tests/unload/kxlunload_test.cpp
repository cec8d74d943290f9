// Loads and unloads a library using kxli, in a program not linked to kxli:
// unloading it unloads kxli, whose clean-up chain must then release the
// string lock, once each load, where a copy-out created it.

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "kxecs.h"
#include "kxlcodes.hpp"
#include "kxlmodule.hpp"

namespace {

std::vector<std::string> released;

// Keeps the texts of kxli's clean-up entry.
void keepCleanUpText(const xcsTraceRecord *record, void *) {
  if (record->kind == XCS_TEXT && record->component == kKxlComponent &&
      record->function == kKxlFnStringCleanUp)
    released.push_back(record->text);
}

// Loads the plugin, copies a text out through it if `copy` (creating the
// string lock) and unloads it, checking each step.
void loadAndUnload(bool copy) {
  void *plugin = kxltest::loadModule(KXLTEST_PLUGIN_FILE);
  ASSERT_NE(plugin, nullptr) << KXLTEST_PLUGIN_FILE << ": " << kxltest::moduleError();
  ASSERT_NE(kxltest::loadedModuleHandle(KXLTEST_KXLI_FILE), nullptr)
      << "loading the plugin did not load kxli";
  using CopyOut = long (*)(char *buffer, std::size_t length);
  auto copyOut = reinterpret_cast<CopyOut>(kxltest::moduleEntry(plugin, "kxlPluginCopyOut"));
  ASSERT_NE(copyOut, nullptr) << kxltest::moduleError();
  char buffer[9] = "xxxxxxxx";
  EXPECT_EQ(copy ? copyOut(buffer, 8) : 0, 0);
  EXPECT_EQ(std::string(buffer), copy ? "plugin  " : "xxxxxxxx");
  EXPECT_TRUE(released.empty()) << "released while still loaded";
  ASSERT_TRUE(kxltest::unloadModule(plugin)) << kxltest::moduleError();
  EXPECT_EQ(kxltest::loadedModuleHandle(KXLTEST_KXLI_FILE), nullptr)
      << "kxli stayed loaded after the plugin was unloaded";
}

TEST(KxlUnloadTest, EachUnloadReleasesTheStringLockOnceIfACopyOutCreatedIt) {
  xcsSetTraceSink(&keepCleanUpText, nullptr);
  // Nothing to release when no text was copied out; then each load's own lock.
  for (const bool copy : {false, true, true}) {
    SCOPED_TRACE(copy ? "copied out" : "nothing copied out");
    loadAndUnload(copy);
    EXPECT_EQ(released, std::vector<std::string>(copy, "Releasing KxlString resources"));
    released.clear();
  }
  xcsSetTraceSink(nullptr, nullptr);
}

}  // namespace
