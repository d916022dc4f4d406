#pragma once
// A TMainForm over the tests' recording fakes, filled with generated rows through the scan's own
// read path, for the benchmarks. The clipboard only keeps the length, so that timing "Copier"
// measures the text the program builds, not a copy the fake would make of it.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "bench/row_generator.h"
#include "main_form_fakes.h"

class LengthOnlyClipboard : public Clipboard {
 public:
  void SetText(const std::string& text) override { length = text.size(); }
  std::size_t length = 0;
};

class BenchForm {
 public:
  BenchForm();
  BenchForm(const BenchForm&) = delete;
  BenchForm& operator=(const BenchForm&) = delete;

  TMainForm& Form() { return *form_; }
  TVirtualStringTree& List() { return form_->vst; }
  FakeFormView& View() { return fixture_.view; }
  std::size_t CopiedLength() const { return clipboard_.length; }

  // Reads every row into the list as a scan reads its objects (ReadHotfixRecord, one reading
  // for them all, which remembers the dates and long texts met before), into whatever batch is
  // open.
  void ReadObjects(const std::vector<GeneratedRow>& rows);
  // ReadObjects in one batch. The header has no sort column, so the rows stay in the order the
  // source gave them.
  void Fill(const std::vector<GeneratedRow>& rows);
  // The records in display order.
  std::vector<const TTreeDataClass*> Records();
  std::vector<TTreeDataClass*> MutableRecords();

 private:
  MainFormFixture fixture_;
  LengthOnlyClipboard clipboard_;
  std::unique_ptr<TMainForm> form_;
};

// The rows of the benchmark for one count, from one fixed seed.
const std::vector<GeneratedRow>& RowsFor(std::size_t count);
