#include "inventory/wu_history_win32.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>
#include <wuapi.h>

#include <memory>

#include "Systeme/com_owners_win32.h"
#include "Systeme/text_convert_win32.h"
#include "Systeme/this_computer_win32.h"
#include "inventory/com_account_win32.h"
#include "inventory/com_failure_win32.h"

using Microsoft::WRL::ComPtr;

namespace {

// CLSID_UpdateSession; the import library that would define it is not linked for one GUID.
constexpr CLSID kUpdateSessionClass = {
    0x4cb43d7f, 0x7eee, 0x4906, {0x86, 0x98, 0x60, 0xda, 0x1c, 0x38, 0xf2, 0xfe}};

// The session on this computer (in process), or on another one through DCOM with the account
// given: "Using WUA From a Remote Computer" creates UpdateSession there by CoCreateInstanceEx.
ComPtr<IUpdateSession> CreateSession(const std::string& computer, Credentials* account) {
  ComPtr<IUpdateSession> session;
  if (IsThisComputer(computer)) {
    ThrowIfComFailed(CoCreateInstance(kUpdateSessionClass, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&session)));
    return session;
  }
  std::wstring name = Utf8ToWide(computer);
  COAUTHINFO authentication{};
  authentication.dwAuthnSvc = RPC_C_AUTHN_DEFAULT;
  authentication.dwAuthzSvc = RPC_C_AUTHZ_DEFAULT;
  authentication.dwAuthnLevel = RPC_C_AUTHN_LEVEL_PKT_PRIVACY;
  authentication.dwImpersonationLevel = RPC_C_IMP_LEVEL_IMPERSONATE;
  // COAUTHIDENTITY has SEC_WINNT_AUTH_IDENTITY_W's layout.
  authentication.pAuthIdentityData =
      account ? reinterpret_cast<COAUTHIDENTITY*>(account->Identity()) : nullptr;
  authentication.dwCapabilities = EOAC_NONE;
  COSERVERINFO server{};
  server.pwszName = name.data();
  server.pAuthInfo = account ? &authentication : nullptr;
  MULTI_QI wanted{&__uuidof(IUpdateSession), nullptr, S_OK};
  // The remote server alone: with the in-process one allowed, COM could answer from this
  // computer's agent, whose history is not the one asked for.
  ThrowIfComFailed(
      CoCreateInstanceEx(kUpdateSessionClass, nullptr, CLSCTX_REMOTE_SERVER, &server, 1, &wanted));
  session.Attach(static_cast<IUpdateSession*>(wanted.pItf));
  ThrowIfComFailed(wanted.hr);
  return session;
}

std::string AnsiOf(const UniqueBstr& text) {
  return WideToAnsi(text.view());
}

// One entry's values; a value the entry will not give stays empty, and the entry then counts
// for nothing (no KB, or no successful installation), which loses no other entry.
WuHistoryEntry ReadEntry(IUpdateHistoryEntry& entry) {
  WuHistoryEntry values;
  UpdateOperation operation{};
  if (SUCCEEDED(entry.get_Operation(&operation))) values.operation = operation;
  OperationResultCode result{};
  if (SUCCEEDED(entry.get_ResultCode(&result))) values.resultCode = result;
  DATE date = 0;
  if (SUCCEEDED(entry.get_Date(&date))) values.date = date;
  UniqueBstr title;
  if (SUCCEEDED(entry.get_Title(title.put()))) values.title = AnsiOf(title);
  UniqueBstr client;
  if (SUCCEEDED(entry.get_ClientApplicationID(client.put()))) {
    values.clientApplicationId = AnsiOf(client);
  }
  return values;
}

}  // namespace

std::vector<WuHistoryEntry> WuHistorySourceWin32::ReadHistory(const ComputerRequest& computer) {
  std::unique_ptr<Credentials> account;
  if (!IsThisComputer(computer.computer) && !computer.user.empty()) {
    account = std::make_unique<Credentials>(computer.user, computer.password.text());
  }
  const auto blanket = [&](IUnknown* proxy) {
    SetErrorInfo(0, nullptr);
    ThrowIfComFailed(SetAccountBlanket(proxy, account.get()));
  };

  SetErrorInfo(0, nullptr);
  const ComPtr<IUpdateSession> session = CreateSession(computer.computer, account.get());
  blanket(session.Get());
  // The agent records who asked in its log; failing to say so changes nothing.
  const UniqueBstr caller(L"Fixtally");
  session->put_ClientApplicationID(caller.get());

  ComPtr<IUpdateSearcher> searcher;
  SetErrorInfo(0, nullptr);
  ThrowIfComFailed(session->CreateUpdateSearcher(&searcher));
  blanket(searcher.Get());

  LONG total = 0;
  SetErrorInfo(0, nullptr);
  ThrowIfComFailed(searcher->GetTotalHistoryCount(&total));
  std::vector<WuHistoryEntry> history;
  if (total <= 0) return history;

  ComPtr<IUpdateHistoryEntryCollection> entries;
  SetErrorInfo(0, nullptr);
  ThrowIfComFailed(searcher->QueryHistory(0, total, &entries));
  blanket(entries.Get());
  LONG count = 0;
  ThrowIfComFailed(entries->get_Count(&count));
  history.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  for (LONG i = 0; i < count; ++i) {
    // An entry that cannot be had fails the source: a history with a hole would say "not
    // installed" of an update it holds.
    ComPtr<IUpdateHistoryEntry> entry;
    SetErrorInfo(0, nullptr);
    ThrowIfComFailed(entries->get_Item(i, &entry));
    if (!entry) ThrowIfComFailed(E_POINTER);
    if (account) blanket(entry.Get());
    history.push_back(ReadEntry(*entry.Get()));
  }
  return history;
}
