// The list model behind the hotfix list, driven through the main window's handlers by any
// sequence of operations: appends, clears, batches, sorts, focus, clicks, header clicks,
// keyboard search, the search box, copy, web link and whole scans. After every operation the
// model must still be one consistent list, and every record must be freed exactly once,
// through OnFreeNode, by the time the list is gone.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "list/add_hotfix_node.h"
#include "inventory/kb_rules.h"
#include "main_form_fakes.h"

namespace {

using Record = const TTreeDataClass*;

// Checks what the model tells a view: every index it names exists when it is told.
class ChangesChecker {
 public:
  void Watch(const TVirtualStringTree& list) { list_ = &list; }
  void operator()(const ListChanges& changes) const {
    const int count = list_->RootNodeCount();
    FUZZ_CHECK(changes.rowCount == count);
    for (const int row : changes.repaint) CheckRow(row);
    if (changes.scrollTo != -1) CheckRow(changes.scrollTo);
    FUZZ_CHECK(changes.focused >= -1 && changes.focused < count);
    FUZZ_CHECK(changes.selected >= -1 && changes.selected < count);
  }

 private:
  void CheckRow(int index) const { FUZZ_CHECK(index >= 0 && index < list_->RootNodeCount()); }
  const TVirtualStringTree* list_ = nullptr;
};

// A WMI stand-in whose objects come from the fuzzer's bytes.
class FuzzedSource : public HotfixSource {
 public:
  std::vector<std::map<std::string, HotfixProperty>> objects;

  std::unique_ptr<HotfixService> ConnectServer(const std::string&, const std::string&,
                                               const std::string&, const std::string&) override {
    struct Object : HotfixObject {
      explicit Object(const std::map<std::string, HotfixProperty>& p) : properties(p) {}
      HotfixProperty Property(const std::string& name) override {
        const auto found = properties.find(name);
        if (found == properties.end()) throw EOleException("Introuvable", 0x80041002);
        return found->second;
      }
      std::map<std::string, HotfixProperty> properties;
    };
    struct Enumeration : HotfixEnumeration {
      explicit Enumeration(FuzzedSource& s) : source(s) {}
      std::unique_ptr<HotfixObject> Next() override {
        if (next >= source.objects.size()) return nullptr;
        return std::make_unique<Object>(source.objects[next++]);
      }
      FuzzedSource& source;
      std::size_t next = 0;
    };
    struct Service : HotfixService {
      explicit Service(FuzzedSource& s) : source(s) {}
      std::unique_ptr<HotfixEnumeration> InstancesOf(const std::string&) override {
        return std::make_unique<Enumeration>(source);
      }
      FuzzedSource& source;
    };
    return std::make_unique<Service>(*this);
  }
};

std::string KbText(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return "KB" + std::to_string(data.ConsumeIntegralInRange<int>(0, 30));
    case 1:
      return "kb" + std::to_string(data.ConsumeIntegral<std::uint32_t>());
    default:
      return fuzz::MaybeHuge(data, 12);
  }
}

std::string DateText(FuzzedDataProvider& data) {
  if (data.ConsumeBool()) {
    return std::to_string(data.ConsumeIntegralInRange<int>(0, 13)) + "/" +
           std::to_string(data.ConsumeIntegralInRange<int>(0, 32)) + "/" +
           std::to_string(data.ConsumeIntegralInRange<int>(0, 2100));
  }
  return fuzz::Text(data, 12);
}

std::unique_ptr<TTreeDataClass> AnyRecord(FuzzedDataProvider& data) {
  auto record = std::make_unique<TTreeDataClass>();
  record->HotFixID = KbText(data);
  record->InstalledOn = DateText(data);
  record->Description = fuzz::Text(data, 16);
  record->InstalledBy = fuzz::Text(data, 8);
  return record;
}

std::map<std::string, HotfixProperty> AnyObject(FuzzedDataProvider& data) {
  std::map<std::string, HotfixProperty> object;
  const std::string names[] = {"Description", "HotFixID", "InstalledBy", "InstalledOn"};
  for (const std::string& name : names) {
    if (data.ConsumeIntegralInRange<int>(0, 15) == 0) continue;  // a property it lacks
    HotfixProperty property;
    property.Name = name;
    property.CIMType = data.ConsumeIntegralInRange<int>(0, 9) == 0 ? 19 : wbemCimtypeString;
    if (data.ConsumeIntegralInRange<int>(0, 7) != 0) {
      property.Value = name == "HotFixID"      ? KbText(data)
                       : name == "InstalledOn" ? DateText(data)
                                               : fuzz::Text(data, 16);
    }
    object[name] = property;
  }
  return object;
}

enum Op : int {
  kAppend,
  kClearList,
  kClearNodes,
  kBeginBatch,
  kEndBatch,
  kSort,
  kFocus,
  kHeaderClick,
  kSearchKey,
  kSearchBackspace,
  kSetRootNodeCount,
  kClickNode,
  kSetSortColumn,
  kSetSortDirection,
  kSearchBox,
  kCopy,
  kLink,
  kWidthAndFocusLoss,
  kScan,
  kForeignNode,
  kOpCount
};

class ListModelRun {
 public:
  explicit ListModelRun(FuzzedDataProvider& data) : data_(data) {
    f_.source = &source_;
    TMainForm& form = f_.Build();
    form_ = &form;
    form.FormCreate();
    TVirtualStringTree& list = form.vst;
    list.Clock = [this] { return now_; };
    checker_.Watch(list);
    list.OnChanges = [this](const ListChanges& changes) { checker_(changes); };
    const auto formFree = list.OnFreeNode;
    list.OnFreeNode = [this, formFree](PVirtualNode node) {
      RecordSlot* slot = form_->vst.NodeRecord(node);
      if (slot != nullptr && *slot) {
        // Freed once: a record freed again, or never handed to the list, is not in `live_`.
        FUZZ_CHECK(live_.erase(slot->get()) == 1);
      }
      formFree(node);
      FUZZ_CHECK(slot == nullptr || !*slot);
    };
    other_.SetRootNodeCount(1);
  }

  void Run() {
    while (data_.remaining_bytes() > 0) {
      const Op op = static_cast<Op>(data_.ConsumeIntegralInRange<int>(0, kOpCount - 1));
      Apply(op);
      CheckInvariants(op);
    }
  }

  // Destroys the form and with it the list: every record must have been freed by then.
  void Finish() {
    form_->vst.OnChanges = nullptr;
    f_.form.reset();
    form_ = nullptr;
    FUZZ_CHECK(live_.empty());
  }

 private:
  TVirtualStringTree& List() { return form_->vst; }

  PVirtualNode AnyNode() {
    const int count = List().RootNodeCount();
    const int index = data_.ConsumeIntegralInRange<int>(-1, count);
    return List().NodeAt(index);  // null for -1 and count
  }

  std::vector<PVirtualNode> Nodes() {
    std::vector<PVirtualNode> nodes;
    const int count = List().RootNodeCount();
    for (PVirtualNode node = List().FirstNode(); node; node = List().NextNode(node)) {
      nodes.push_back(node);
      FUZZ_CHECK(static_cast<int>(nodes.size()) <= count);
    }
    return nodes;
  }

  Record RecordAt(PVirtualNode node) {
    RecordSlot* slot = List().NodeRecord(node);
    return slot != nullptr ? slot->get() : nullptr;
  }

  void Apply(Op op) {
    TMainForm& form = *form_;
    TVirtualStringTree& list = List();
    before_.clear();
    for (PVirtualNode node : Nodes()) before_.push_back(RecordAt(node));
    sortChecked_.reset();
    switch (op) {
      case kAppend: {
        std::unique_ptr<TTreeDataClass> record = AnyRecord(data_);
        live_.insert(record.get());
        AddHotfixNode(list, nullptr, std::move(record));
        break;
      }
      case kClearList:
        form.ClearList();
        break;
      case kClearNodes:
        list.ClearNodes();
        break;
      case kBeginBatch:
        if (batches_ < 6) {
          list.BeginBatch();
          ++batches_;
        }
        break;
      case kEndBatch:
        list.EndBatch();
        if (batches_ > 0) --batches_;
        break;
      case kSort: {
        const TColumnIndex column = data_.ConsumeIntegralInRange<int>(-2, 5);
        const auto direction = static_cast<TSortDirection>(data_.ConsumeIntegral<std::uint8_t>());
        list.SortByColumn(column, direction);
        if (column == 0) sortChecked_ = direction == sdDescending ? sdDescending : sdAscending;
        break;
      }
      case kFocus:
        list.FocusNode(AnyNode());
        break;
      case kHeaderClick: {
        const TColumnIndex column = data_.ConsumeIntegralInRange<int>(-2, 5);
        const auto button = static_cast<TMouseButton>(data_.ConsumeIntegralInRange<int>(0, 2));
        list.HeaderClick(column, button, TShiftState{});
        if (column == 0 && button == TMouseButton::mbLeft) sortChecked_ = list.SortDirection();
        break;
      }
      case kSearchKey:
        now_ += data_.ConsumeIntegralInRange<std::uint64_t>(0, 1500);
        list.IncrementalSearchKey(data_.ConsumeIntegral<char>());
        break;
      case kSearchBackspace:
        list.IncrementalSearchBackspace();
        break;
      case kSetRootNodeCount:
        list.SetRootNodeCount(data_.ConsumeIntegralInRange<int>(-3, 12));
        break;
      case kClickNode:
        list.UserClickNode(AnyNode());
        break;
      case kSetSortColumn:
        list.SetSortColumn(data_.ConsumeIntegralInRange<int>(-5, 8));
        break;
      case kSetSortDirection:
        list.SetSortDirection(static_cast<TSortDirection>(data_.ConsumeIntegral<std::uint8_t>()));
        break;
      case kSearchBox:
        f_.view.searchText = fuzz::Text(data_, 6);
        form.EditSearchChange();
        CheckSearchMarks();
        break;
      case kCopy: {
        form.Settings.DefChar = fuzz::Text(data_, 4);
        form.Settings.NbrChar = data_.ConsumeIntegralInRange<int>(-2, 4);
        const int beeps = f_.dialogs.beeps;
        const int writes = f_.clipboard.writes;
        form.RunUserAction([&] { form.BtnCopyClick(); });
        if (list.RootNodeCount() == 0) {
          FUZZ_CHECK(f_.dialogs.beeps == beeps + 1 && f_.clipboard.writes == writes);
        } else {
          FUZZ_CHECK(f_.clipboard.writes == writes + 1);
        }
        break;
      }
      case kLink: {
        form.Settings.MsKbId =
            data_.ConsumeBool() ? "https://support.example/kb/%s" : fuzz::Text(data_, 20);
        const std::size_t opened = f_.shell.opened.size();
        const std::size_t reports = f_.dialogs.errorReports.size();
        const int beeps = f_.dialogs.beeps;
        form.RunUserAction([&] { list.DoubleClick(); });
        if (list.CurrentNode() == nullptr) {
          FUZZ_CHECK(f_.dialogs.beeps == beeps + 1 && f_.shell.opened.size() == opened);
        } else if (RecordAt(list.CurrentNode()) != nullptr) {
          FUZZ_CHECK(f_.shell.opened.size() + f_.dialogs.errorReports.size() ==
                     opened + reports + 1);
        }
        break;
      }
      case kWidthAndFocusLoss:
        list.ColumnWidthTracked(data_.ConsumeIntegralInRange<int>(-1, 4),
                                data_.ConsumeIntegral<int>());
        list.KillFocus();
        FUZZ_CHECK(list.SearchText().empty());
        break;
      case kScan: {
        source_.objects.clear();
        const int count = data_.ConsumeIntegralInRange<int>(0, 8);
        for (int i = 0; i < count; ++i) source_.objects.push_back(AnyObject(data_));
        const int openBatches = list.BatchCount();
        form.BtnSearchClick();
        FUZZ_CHECK(list.BatchCount() == openBatches);
        FUZZ_CHECK(form.HotfixCount == count);
        FUZZ_CHECK(f_.view.cursor == TCursor::crDefault);
        FUZZ_CHECK(f_.view.Caption(ControlId::LabelNbKB) ==
                   (count == 0 ? std::string() : "(" + std::to_string(count) + ")"));
        break;
      }
      case kForeignNode: {
        // A node of another list names nothing here.
        PVirtualNode foreign = other_.FirstNode();
        const PVirtualNode focused = list.CurrentNode();
        const PVirtualNode selected = list.SelectedNode();
        list.FocusNode(foreign);
        list.UserClickNode(foreign);
        FUZZ_CHECK(list.NextNode(foreign) == nullptr);
        FUZZ_CHECK(list.CurrentNode() == focused && list.SelectedNode() == selected);
        break;
      }
      case kOpCount:
        break;
    }
  }

  void CheckSearchMarks() {
    if (List().RootNodeCount() == 0) return;
    PVirtualNode firstMatch = nullptr;
    for (PVirtualNode node : Nodes()) {
      const Record record = RecordAt(node);
      if (record == nullptr) continue;
      if (f_.view.searchText.empty()) FUZZ_CHECK(record->MatchState == 0);
      if (record->MatchState == 1 && firstMatch == nullptr) firstMatch = node;
    }
    if (firstMatch != nullptr) FUZZ_CHECK(List().CurrentNode() == firstMatch);
  }

  void CheckInvariants(Op op) {
    TMainForm& form = *form_;
    TVirtualStringTree& list = List();
    FUZZ_CHECK(list.BatchCount() == batches_);
    FUZZ_CHECK(!form.Busy);
    FUZZ_CHECK(form.HotfixCount >= 0);
    FUZZ_CHECK(list.SortColumn() >= NoColumn && list.SortColumn() < list.ColumnCount());
    FUZZ_CHECK(list.SortDirection() == sdAscending || list.SortDirection() == sdDescending);

    // The walk reaches every node once, in index order; the records are distinct and alive.
    const std::vector<PVirtualNode> nodes = Nodes();
    FUZZ_CHECK(static_cast<int>(nodes.size()) == list.RootNodeCount());
    std::set<Record> records;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      FUZZ_CHECK(nodes[i]->index == static_cast<int>(i));
      FUZZ_CHECK(list.NodeAt(static_cast<int>(i)) == nodes[i]);
      const Record record = RecordAt(nodes[i]);
      if (record == nullptr) continue;
      FUZZ_CHECK(records.insert(record).second);
      if (op != kScan) FUZZ_CHECK(live_.count(record) == 1);
      live_.insert(record);  // a scan's records are met here first
      FUZZ_CHECK(record->MatchState == 0 || record->MatchState == 1);
    }
    // Every record not in the list any more went through OnFreeNode.
    FUZZ_CHECK(records.size() == live_.size());
    if (op != kScan && op != kAppend && op != kSetRootNodeCount && op != kClearList &&
        op != kClearNodes) {
      // Anything else only reorders: the same records as before.
      std::multiset<Record> previous(before_.begin(), before_.end());
      std::multiset<Record> now;
      for (PVirtualNode node : nodes) now.insert(RecordAt(node));
      FUZZ_CHECK(previous == now);
    }

    for (const PVirtualNode node : {list.CurrentNode(), list.SelectedNode()}) {
      if (node != nullptr) FUZZ_CHECK(list.NodeAt(node->index) == node);
    }
    if (list.SelectedNode() != nullptr) FUZZ_CHECK(list.SelectedNode()->selected);

    if (sortChecked_) CheckSortedByNumber(nodes, *sortChecked_);
  }

  // Sorted by KB number in the direction asked, rows of equal number in their earlier order.
  void CheckSortedByNumber(const std::vector<PVirtualNode>& nodes, TSortDirection direction) {
    std::vector<Record> order;
    for (PVirtualNode node : nodes) {
      const Record record = RecordAt(node);
      if (record == nullptr) return;  // a row without record compares equal to any
      order.push_back(record);
    }
    auto earlier = [&](Record r) {
      return std::find(before_.begin(), before_.end(), r) - before_.begin();
    };
    for (std::size_t i = 1; i < order.size(); ++i) {
      const std::int32_t a = KbNumber(order[i - 1]->HotFixID);
      const std::int32_t b = KbNumber(order[i]->HotFixID);
      FUZZ_CHECK(direction == sdAscending ? a <= b : a >= b);
      if (a == b) FUZZ_CHECK(earlier(order[i - 1]) < earlier(order[i]));
    }
  }

  FuzzedDataProvider& data_;
  std::set<Record> live_;  // declared before the form, whose list frees into it
  MainFormFixture f_;
  FuzzedSource source_;
  TMainForm* form_ = nullptr;
  ChangesChecker checker_;
  TVirtualStringTree other_;
  std::vector<Record> before_;
  std::optional<TSortDirection> sortChecked_;
  std::uint64_t now_ = 1000;
  int batches_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  ListModelRun run(data);
  run.Run();
  run.Finish();
  return 0;
}
