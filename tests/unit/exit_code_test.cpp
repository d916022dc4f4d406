// The console program's exit code, from the computers' statuses and the KBs asked for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/exit_code.h"

namespace {

ComputerInventory Inventory(InventoryStatus status, std::vector<std::string> kbs) {
  ComputerInventory inventory;
  inventory.status = status;
  for (const std::string& kb : kbs) {
    TTreeDataClass row;
    row.HotFixID = kb;
    inventory.rows.push_back(row);
  }
  return inventory;
}

TEST(ConsoleExitCode, FollowsTheWorstComputer) {
  const auto complete = InventoryStatus::Complete;
  const struct {
    std::string name;
    std::vector<ComputerInventory> computers;
    std::vector<std::string> kbs;
    int expected;
  } cases[] = {
      {"all complete, no KB asked", {Inventory(complete, {}), Inventory(complete, {"KB1"})}, {}, 0},
      {"one failed", {Inventory(complete, {}), Inventory(InventoryStatus::Failed, {})}, {}, 2},
      {"one incomplete", {Inventory(InventoryStatus::Incomplete, {"KB1"})}, {}, 2},
      {"every KB everywhere",
       {Inventory(complete, {"KB5034441", "kb0012"}), Inventory(complete, {"12", "KB5034441"})},
       {"KB5034441", "KB12"},
       0},
      {"a KB missing on one computer",
       {Inventory(complete, {"KB5034441"}), Inventory(complete, {"KB5034440"})},
       {"5034441"},
       1},
      {"a row without a number is no KB", {Inventory(complete, {"ERROR:HotFixID"})}, {"KB0"}, 1},
      {"incomplete wins over missing",
       {Inventory(complete, {}), Inventory(InventoryStatus::Incomplete, {})},
       {"KB1"},
       2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConsoleExitCode(c.computers, c.kbs), c.expected) << c.name;
  }
}

}  // namespace
