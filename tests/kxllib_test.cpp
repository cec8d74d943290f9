// The library entry point: attach and detach driven by hand, the clean-up
// chain observed through the trace; the library is left attached.

#include <gtest/gtest.h>

#include "kxlmain.hpp"
#include "kxlmodule.hpp"
#include "kxlmsgtest.hpp"
#include "kxlstr.hpp"

namespace {

// Copies a text out, which creates the string lock if needed, through it.
void copyOutThroughTheLock() {
  kxltest::TraceCapture trace;
  KxlStr text("entry");
  char buffer[7] = "xxxxxx";
  EXPECT_TRUE(text.copyOut(buffer, 6, '*'));
  EXPECT_EQ(std::string(buffer), "entry*");
  EXPECT_EQ(trace.exitValues(kKxlFnStringLock), std::vector<std::int32_t>{1});
  EXPECT_EQ(trace.exitValues(kKxlFnStringUnlock), std::vector<std::int32_t>{1});
}

TEST(KxlLibTest, DetachReleasesTheStringLockOnceAndAttachSetsTheLibraryUpAgain) {
  void *module = kxltest::loadedModuleHandle(KXLTEST_KXLI_FILE);
  ASSERT_NE(module, nullptr) << KXLTEST_KXLI_FILE << " is not loaded";
  // However the test ends, the library is attached again.
  struct AttachedAtExit {
    void *module;
    ~AttachedAtExit() { KxlLibraryMain(module, KXL_PROCESS_ATTACH); }
  } attached{module};
  copyOutThroughTheLock();

  // Attaches and thread notifications (2, 3) leave the lock, silently.
  kxltest::TraceCapture trace;
  for (unsigned long reason : {KXL_PROCESS_ATTACH, KXL_PROCESS_ATTACH, 2ul, 3ul})
    EXPECT_TRUE(KxlLibraryMain(module, reason)) << reason;
  EXPECT_TRUE(trace.records().empty());

  // The chain's one entry here releases the lock, saying so once; a second
  // detach finds none; after the attach the lock is created anew.
  const kxltest::Texts released{{kKxlFnStringCleanUp, "Releasing KxlString resources"}};
  for (unsigned long reason : {KXL_PROCESS_DETACH, KXL_PROCESS_DETACH, KXL_PROCESS_ATTACH}) {
    EXPECT_TRUE(KxlLibraryMain(module, reason)) << reason;
    EXPECT_EQ(kxltest::textsOf(trace), released) << reason;
  }
  copyOutThroughTheLock();
}

}  // namespace
