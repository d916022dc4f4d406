// The portable store against the contract that the Windows profile API fulfils under Wine
// (tests/win32/ini_store_contract_test.cpp runs the same cases there).
#include "ini_store_contract.h"
#include "portable_ini_store.h"

TEST(PortableIniStoreContract, ReadsAsTheApiDoes) {
  PortableIniStore store;
  ini_contract::CheckReads(store);
}

TEST(PortableIniStoreContract, WritesTheBytesTheApiWrites) {
  PortableIniStore store;
  ini_contract::CheckWrites(store);
}

TEST(PortableIniStoreContract, RefusesWhatTheApiRefuses) {
  PortableIniStore store;
  ini_contract::CheckRefusals(store);
}
