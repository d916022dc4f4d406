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

  // Reads every row through ReadHotfixObject into the list, in one batch, as a scan does (without
  // the scan's memory of the date texts already met). The header has no sort column, so the
  // rows stay in the order the source gave them.
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
