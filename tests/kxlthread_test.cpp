// Threads using their own objects over the process-wide state they share:
// the string error record (every truncating setter writes it), the string
// lock (the first copy-outs race to create it), the supported versions and
// the options' default records. Races fail the tsan preset.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "kxli.hpp"

namespace {

// The protected version setters, given the values already in force.
struct MessageVersion : KxlMsg {
  using KxlMsg::setVersionSupported;
};
struct Versions : KxlGmo, KxlGmo3 {
  static void keep() {
    MessageVersion::setVersionSupported(2);
    KxlGmo::setVersionSupported(2);
    KxlGmo3::setVersionSupported(3);
  }
};

constexpr int kThreads = 4;

// One thread's work; `id` makes its texts its own.
void work(int id) {
  const std::string name = "Q" + std::to_string(id);
  const std::string tooLong(60, static_cast<char>('a' + id));
  for (int round = 0; round < 50; ++round) {
    EXPECT_EQ(KxlGmo().record()->version, 2);
    EXPECT_EQ(KxlGmo3().record()->version, 3);
    Versions::keep();

    KxlDlh header;
    header.setDestinationQueueName(tooLong.c_str());  // cut: writes the error record
    header.setDestinationQueueManagerName(name.c_str());
    // Cut under the string lock: this string takes the truncation warning
    // (any setter racing with it writes the same codes).
    KxlStr text = KxlStr(name.c_str()) + round;
    char buffer[2];
    EXPECT_TRUE(text.copyOut(buffer, sizeof buffer, ' '));
    EXPECT_EQ(std::string(buffer, sizeof buffer), name);
    EXPECT_EQ(text.reasonCode(), KXRC_DATA_TRUNCATED);
    text.clearErrorCodes();

    KxlMsg message;
    EXPECT_EQ(message.version(), 2);
    ASSERT_TRUE(message.writeItem(text) && message.writeItem(header) && message.setDataOffset(0));
    KxlDlh back;
    KxlStr body;
    ASSERT_TRUE(message.readItem(back) && message.readItem(body));
    EXPECT_EQ(back.destinationQueueName(), tooLong.substr(0, 48).c_str());
    EXPECT_EQ(back.destinationQueueManagerName(), name.c_str());
    EXPECT_EQ(body, text);
  }
}

TEST(KxlThreadTest, OwnObjectsOverSharedState) {
  KxlStrCleanUp();  // the first copy-outs below race to create the lock
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int id = 0; id < kThreads; ++id) {
    threads.emplace_back([id, &ready] {
      ready.fetch_add(1);
      while (ready.load() < kThreads) std::this_thread::yield();
      work(id);
    });
  }
  for (std::thread &thread : threads) thread.join();
}

}  // namespace
