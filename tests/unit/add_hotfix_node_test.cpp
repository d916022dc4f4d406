#include "list/add_hotfix_node.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

TEST(AddHotfixNode, StoresTheRecordAfterTheRowIsInitialised) {
  TVirtualStringTree list;
  list.OnGetNodeDataSize = [](int& size) { size = 4; };
  std::vector<bool> slotEmptyAtInit;
  list.OnInitNode = [&](PVirtualNode parent, PVirtualNode node, InitialStates&) {
    EXPECT_EQ(parent, nullptr);
    RecordSlot* slot = list.NodeRecord(node);
    slotEmptyAtInit.push_back(slot != nullptr && *slot == nullptr);
  };
  list.BeginBatch();
  auto first = std::make_unique<TTreeDataClass>();
  first->HotFixID = "KB1";
  TTreeDataClass* firstRecord = first.get();
  PVirtualNode firstNode = AddHotfixNode(list, nullptr, std::move(first));
  PVirtualNode secondNode = AddHotfixNode(list, nullptr, std::make_unique<TTreeDataClass>());
  list.EndBatch();

  EXPECT_EQ(slotEmptyAtInit, (std::vector<bool>{true, true}));
  ASSERT_EQ(list.RootNodeCount(), 2);
  EXPECT_EQ(list.NodeRecord(firstNode)->get(), firstRecord);
  EXPECT_EQ((*list.NodeRecord(firstNode))->HotFixID, "KB1");
  EXPECT_NE(list.NodeRecord(secondNode)->get(), nullptr);
  EXPECT_NE(firstNode, secondNode);
}

// The record stays in its row's slot until the row is freed; the list then destroys it with the
// row (the sanitizer build reports any record that would leak instead).
TEST(AddHotfixNode, TheRowHoldsTheRecordUntilItIsFreed) {
  TVirtualStringTree list;
  list.OnGetNodeDataSize = [](int& size) { size = 4; };
  std::vector<TTreeDataClass*> stored, seenAtFree;
  list.OnFreeNode = [&](PVirtualNode node) {
    RecordSlot* slot = list.NodeRecord(node);
    seenAtFree.push_back(slot != nullptr ? slot->get() : nullptr);
  };
  for (int i = 0; i < 3; ++i) {
    auto record = std::make_unique<TTreeDataClass>();
    stored.push_back(record.get());
    AddHotfixNode(list, nullptr, std::move(record));
  }
  EXPECT_TRUE(seenAtFree.empty());
  list.ClearNodes();
  std::sort(seenAtFree.begin(), seenAtFree.end());  // the list frees in an order of its own
  std::sort(stored.begin(), stored.end());
  EXPECT_EQ(seenAtFree, stored);
}

TEST(AddHotfixNode, AListWithoutSlotKeepsTheRowAndNoRecord) {
  TVirtualStringTree list;  // no node data size: rows have no record slot
  PVirtualNode node = AddHotfixNode(list, nullptr, std::make_unique<TTreeDataClass>());
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(list.NodeRecord(node), nullptr);
  EXPECT_EQ(list.RootNodeCount(), 1);
}

}  // namespace
