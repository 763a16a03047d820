// A process killed in the middle of a transaction leaves the table as it was before or after
// that transaction, never half of it, and the table opens without error afterwards.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/model/records.h"
#include "core/runtime/table.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

constexpr int kBatch = 500;

// In the child: endless transactions of kBatch adds (or, on odd rounds, deletes of kBatch
// records). It never returns; the parent kills it.
[[noreturn]] void churn(const std::filesystem::path& dir) {
  Table<CalendarTable> t(dir);
  if (t.open().failed()) _exit(2);
  for (int round = 0;; ++round) {
    Transaction tx(t);
    if (tx.status().failed()) _exit(3);
    if (round % 3 != 2) {
      for (int i = 0; i < kBatch; ++i) {
        t.clear();
        t.rec.date = 70000 + round;
        t.rec.time = 1 + i;
        t.rec.currency = "USD";
        t.rec.descr = "churn";
        if (t.add().failed()) _exit(4);
      }
    } else {
      t.set_start(CalendarKey::Key);
      for (int i = 0; i < kBatch && t.next().is_ok(); ++i)
        if (t.erase().failed()) _exit(5);
    }
    if (tx.commit().failed()) _exit(6);
  }
}

TEST(Durability, KilledInsideATransactionLeavesWholeTransactions) {
  for (int attempt = 0; attempt < 6; ++attempt) {
    test::TempDir dir;
    ASSERT_TRUE(Table<CalendarTable>(dir.path()).create().is_ok());
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) churn(dir.path());
    std::this_thread::sleep_for(std::chrono::milliseconds(150 + 97 * attempt));
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << WEXITSTATUS(status);

    Table<CalendarTable> t(dir.path());
    ASSERT_TRUE(t.open().is_ok());
    std::int64_t n = -1;
    ASSERT_TRUE(t.records(n).is_ok());
    EXPECT_EQ(n % kBatch, 0) << "a transaction was half applied: " << n << " records";
    // Every key still reads, and reads the same records.
    int by_key = 0;
    t.set_start(CalendarKey::DescrKey);
    while (t.next().is_ok()) ++by_key;
    EXPECT_EQ(by_key, n);
  }
}

}  // namespace
}  // namespace mervane
