// The library entry point: process attach and detach driven by hand, with
// the clean-up chain observed through the trace. Every test leaves the
// library attached, as the loader left it.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kxlmain.hpp"
#include "kxlmodule.hpp"
#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace {

const char kReleaseText[] = "Releasing KxlString resources";
constexpr unsigned long kThreadAttach = 2;
constexpr unsigned long kThreadDetach = 3;

// Attaches the library again when a test ends, however it ends; an attach
// of an attached library changes nothing.
class AttachedAtExit {
 public:
  explicit AttachedAtExit(void *module) : module_(module) {}
  ~AttachedAtExit() { KxlLibraryMain(module_, KXL_PROCESS_ATTACH); }
  AttachedAtExit(const AttachedAtExit &) = delete;
  AttachedAtExit &operator=(const AttachedAtExit &) = delete;

 private:
  void *module_;
};

class LibraryEntryPoint : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = kxltest::loadedModuleHandle(KXLTEST_KXLI_FILE);
    ASSERT_NE(module_, nullptr) << KXLTEST_KXLI_FILE << " is not loaded";
  }

  // Copies a text out to a buffer, which creates the string class's lock if
  // it does not exist, and checks (in `trace`, installed by the caller and
  // cleared here) that the copy went through the lock.
  void copyOutThroughTheLock(kxltest::TraceCapture &trace) {
    trace.clear();
    KxlStr text("entry");
    char buffer[7] = "xxxxxx";
    EXPECT_TRUE(text.copyOut(buffer, 6, '*'));
    EXPECT_EQ(text.completionCode(), KXCC_OK);
    EXPECT_EQ(std::string(buffer), "entry*");
    EXPECT_EQ(trace.exitValues(57), std::vector<std::int32_t>{1});
    EXPECT_EQ(trace.exitValues(58), std::vector<std::int32_t>{1});
    trace.clear();
  }

  void *module_ = nullptr;
};

TEST_F(LibraryEntryPoint, DetachRunsTheCleanUpChainAndAttachSetsTheLibraryUpAgain) {
  AttachedAtExit attached(module_);
  kxltest::TraceCapture trace;
  copyOutThroughTheLock(trace);

  EXPECT_TRUE(KxlLibraryMain(module_, KXL_PROCESS_DETACH));
  // Only this library's own entry is found and run; it says so once.
  EXPECT_EQ(trace.texts(), std::vector<std::string>{kReleaseText});
  EXPECT_TRUE(trace.sawText(76, kReleaseText));

  trace.clear();
  EXPECT_TRUE(KxlLibraryMain(module_, KXL_PROCESS_ATTACH));
  EXPECT_TRUE(trace.texts().empty());
  // The lock is created anew under the library critical section.
  copyOutThroughTheLock(trace);
}

TEST_F(LibraryEntryPoint, SecondAttachLeavesTheLibraryAsItIs) {
  AttachedAtExit attached(module_);
  kxltest::TraceCapture trace;
  copyOutThroughTheLock(trace);

  EXPECT_TRUE(KxlLibraryMain(module_, KXL_PROCESS_ATTACH));
  EXPECT_TRUE(KxlLibraryMain(module_, KXL_PROCESS_ATTACH));
  EXPECT_TRUE(trace.texts().empty());
  copyOutThroughTheLock(trace);

  // One detach after several attaches releases the lock exactly once.
  EXPECT_TRUE(KxlLibraryMain(module_, KXL_PROCESS_DETACH));
  EXPECT_EQ(trace.texts(76), std::vector<std::string>{kReleaseText});
}

TEST_F(LibraryEntryPoint, ThreadNotificationsDoNothing) {
  AttachedAtExit attached(module_);
  kxltest::TraceCapture trace;
  copyOutThroughTheLock(trace);

  EXPECT_TRUE(KxlLibraryMain(module_, kThreadAttach));
  EXPECT_TRUE(KxlLibraryMain(module_, kThreadDetach));
  EXPECT_TRUE(trace.records().empty());

  // The lock they left alone is still there for the process detach.
  EXPECT_TRUE(KxlLibraryMain(module_, KXL_PROCESS_DETACH));
  EXPECT_EQ(trace.texts(76), std::vector<std::string>{kReleaseText});
}

TEST_F(LibraryEntryPoint, DetachWithoutTheStringLockReleasesNothing) {
  AttachedAtExit attached(module_);
  KxlStrCleanUp();

  kxltest::TraceCapture trace;
  EXPECT_TRUE(KxlLibraryMain(module_, KXL_PROCESS_DETACH));
  EXPECT_TRUE(trace.texts().empty());
}

// The chain finds its entries by name in the library's export table.
TEST_F(LibraryEntryPoint, ExportsItsCleanUpEntryUnderItsPlainName) {
  kxltest::LoadedModule library(KXLTEST_KXLI_FILE);
  ASSERT_TRUE(library.loaded()) << library.error();
  EXPECT_NE(library.find("KxlStrCleanUp"), nullptr) << library.error();
  EXPECT_NE(library.find("KxlLibraryMain"), nullptr) << library.error();
  EXPECT_EQ(library.find("KxlMgrCleanUp"), nullptr);
  EXPECT_EQ(library.find("KxlQueCleanUp"), nullptr);
}

}  // namespace
