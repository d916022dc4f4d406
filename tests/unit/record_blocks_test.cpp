#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "inventory/hotfix_record.h"

namespace {

// Threads where the standard library has them (not in the Windows build's thread model, where
// the readers take turns on one thread instead).
template <typename Work>
void RunSideBySide(std::vector<Work>& work) {
#ifdef _GLIBCXX_HAS_GTHREADS
  std::vector<std::thread> threads;
  for (Work& one : work) threads.emplace_back(one);
  for (std::thread& thread : threads) thread.join();
#else
  for (Work& one : work) one();
#endif
}

using Records = std::vector<std::unique_ptr<TTreeDataClass>>;

std::string IdOf(int reader, int row) {
  return "KB" + std::to_string(reader) + "-" + std::to_string(row);
}

// Readers on threads of their own make records side by side, as the console's do; the records
// are ended in another order and on other threads, and each keeps its own texts until its end,
// whichever of its neighbours in memory went first.
TEST(RecordBlocks, EachRecordKeepsItsTextsUntilItsOwnEnd) {
  constexpr int kReaders = 4;
  constexpr int kRows = 20000;  // many blocks' worth per reader
  std::vector<Records> read(kReaders);
  std::vector<std::function<void()>> readers;
  for (int reader = 0; reader < kReaders; ++reader) {
    readers.emplace_back([reader, &read] {
      for (int row = 0; row < kRows; ++row) {
        auto record = std::make_unique<TTreeDataClass>();
        record->HotFixID = IdOf(reader, row);
        record->Description = "Update for reader " + std::to_string(reader);
        read[static_cast<std::size_t>(reader)].push_back(std::move(record));
      }
    });
  }
  RunSideBySide(readers);
  // Every other record ends here; the rest are read, then ended on another thread.
  for (Records& records : read) {
    for (std::size_t row = 0; row < records.size(); row += 2) records[row].reset();
  }
  for (int reader = 0; reader < kReaders; ++reader) {
    const Records& records = read[static_cast<std::size_t>(reader)];
    for (int row = 1; row < kRows; row += 2) {
      const TTreeDataClass& record = *records[static_cast<std::size_t>(row)];
      ASSERT_EQ(record.HotFixID, IdOf(reader, row));
      ASSERT_EQ(record.Description, "Update for reader " + std::to_string(reader));
    }
  }
  std::vector<std::function<void()>> ender = {[&read] { read.clear(); }};
  RunSideBySide(ender);
  EXPECT_TRUE(read.empty());
}

}  // namespace
