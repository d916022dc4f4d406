// The Windows tests hold code page 1252 texts (the code page of a French or English Windows,
// and of Wine with an English or French locale): before any test runs, the program checks that
// the system's code page is that one, and otherwise fails the whole run instead of letting the
// tests that compare those texts skip or drop their checks.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

class CodePage1252 : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1252u) << "the Windows tests need the system code page 1252 "
                                  "(under Wine: LANG=en_US.UTF-8 or fr_FR.UTF-8)";
  }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new CodePage1252);

}  // namespace
