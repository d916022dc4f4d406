// The security blanket of the WMI adapter's proxies. Wine's provider runs in the process, where
// there is no proxy to set a blanket on, so these fakes stand for the proxies of Windows' WMI
// service: CoSetProxyBlanket reaches them through IClientSecurity, as it reaches a real proxy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Systeme/com_scope_win32.h"
#include "Systeme/errors.h"
#include "inventory/wmi_source_win32.h"

using Microsoft::WRL::ComPtr;

namespace {

struct Blanket {
  DWORD authentication = 0;
  DWORD authorisation = 0;
  bool defaultPrincipal = false;
  DWORD level = 0;
  DWORD impersonation = 0;
  std::wstring user, domain, password;  // of the identity given; all empty for none
  bool identity = false;
};

// Reference counting and IClientSecurity for a fake proxy of Interface.
template <typename Interface>
class FakeProxy : public Interface, public IClientSecurity {
 public:
  explicit FakeProxy(std::vector<Blanket>& blankets) : blankets_(blankets) {}
  virtual ~FakeProxy() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == __uuidof(IUnknown) || id == __uuidof(Interface)) {
      *object = static_cast<Interface*>(this);
    } else if (id == __uuidof(IClientSecurity)) {
      *object = static_cast<IClientSecurity*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE QueryBlanket(IUnknown*, DWORD*, DWORD*, OLECHAR**, DWORD*, DWORD*,
                                         void**, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown*, DWORD authentication, DWORD authorisation,
                                       OLECHAR* principal, DWORD level, DWORD impersonation,
                                       void* identity, DWORD) override {
    Blanket blanket;
    blanket.authentication = authentication;
    blanket.authorisation = authorisation;
    blanket.defaultPrincipal = principal == COLE_DEFAULT_PRINCIPAL;
    blanket.level = level;
    blanket.impersonation = impersonation;
    if (const auto* given = static_cast<SEC_WINNT_AUTH_IDENTITY_W*>(identity)) {
      blanket.identity = true;
      blanket.user.assign(reinterpret_cast<const wchar_t*>(given->User), given->UserLength);
      blanket.domain.assign(reinterpret_cast<const wchar_t*>(given->Domain), given->DomainLength);
      blanket.password.assign(reinterpret_cast<const wchar_t*>(given->Password),
                              given->PasswordLength);
    }
    blankets_.push_back(blanket);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CopyProxy(IUnknown*, IUnknown**) override { return E_NOTIMPL; }

 protected:
  std::vector<Blanket>& blankets_;

 private:
  ULONG references_ = 1;
};

// What the enumerator was asked to wait, and whether it answers that the wait ran out.
struct NextCalls {
  std::vector<LONG> timeouts;
  bool timeOut = false;
};

class FakeEnumerator : public FakeProxy<IEnumWbemClassObject> {
 public:
  FakeEnumerator(std::vector<Blanket>& blankets, NextCalls* calls)
      : FakeProxy(blankets), calls_(calls) {}
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG, IWbemClassObject**,
                                 ULONG* returned) override {
    *returned = 0;
    if (calls_) calls_->timeouts.push_back(timeout);
    return calls_ && calls_->timeOut ? WBEM_S_TIMEDOUT : WBEM_S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return E_NOTIMPL; }

 private:
  NextCalls* calls_;
};

#define FIXTALLY_NOT_USED(name, ...)                     \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { \
    return E_NOTIMPL;                                    \
  }

class FakeServices : public FakeProxy<IWbemServices> {
 public:
  explicit FakeServices(std::vector<Blanket>& blankets, NextCalls* calls = nullptr)
      : FakeProxy(blankets), calls_(calls) {}
  HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR, LONG, IWbemContext*,
                                               IEnumWbemClassObject** enumerator) override {
    *enumerator = new FakeEnumerator(blankets_, calls_);
    return S_OK;
  }
  FIXTALLY_NOT_USED(OpenNamespace, const BSTR, LONG, IWbemContext*, IWbemServices**,
                    IWbemCallResult**)
  FIXTALLY_NOT_USED(CancelAsyncCall, IWbemObjectSink*)
  FIXTALLY_NOT_USED(QueryObjectSink, LONG, IWbemObjectSink**)
  FIXTALLY_NOT_USED(GetObject, const BSTR, LONG, IWbemContext*, IWbemClassObject**,
                    IWbemCallResult**)
  FIXTALLY_NOT_USED(GetObjectAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  FIXTALLY_NOT_USED(PutClass, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
  FIXTALLY_NOT_USED(PutClassAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
  FIXTALLY_NOT_USED(DeleteClass, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
  FIXTALLY_NOT_USED(DeleteClassAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  FIXTALLY_NOT_USED(CreateClassEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
  FIXTALLY_NOT_USED(CreateClassEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  FIXTALLY_NOT_USED(PutInstance, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
  FIXTALLY_NOT_USED(PutInstanceAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
  FIXTALLY_NOT_USED(DeleteInstance, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
  FIXTALLY_NOT_USED(DeleteInstanceAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  FIXTALLY_NOT_USED(CreateInstanceEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  FIXTALLY_NOT_USED(ExecQuery, const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
  FIXTALLY_NOT_USED(ExecQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  FIXTALLY_NOT_USED(ExecNotificationQuery, const BSTR, const BSTR, LONG, IWbemContext*,
                    IEnumWbemClassObject**)
  FIXTALLY_NOT_USED(ExecNotificationQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*,
                    IWbemObjectSink*)
  FIXTALLY_NOT_USED(ExecMethod, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                    IWbemClassObject**, IWbemCallResult**)
  FIXTALLY_NOT_USED(ExecMethodAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                    IWbemObjectSink*)

 private:
  NextCalls* calls_;
};

#undef FIXTALLY_NOT_USED

TEST(WmiBlanket, EveryProxyImpersonatesWithEachCallAuthenticated) {
  ComScope com(COINIT_APARTMENTTHREADED);
  struct Case {
    const char *user, *password;
    bool identity;
    const wchar_t *expectedUser, *expectedDomain, *expectedPassword;
  };
  const std::vector<Case> cases = {
      {"", "", false, L"", L"", L""},
      {"admin", "secret", true, L"admin", L"", L"secret"},
      {"CORP\\admin", "s\xC3\xA9same", true, L"admin", L"CORP", L"s\u00e9same"},
  };
  for (const Case& c : cases) {
    std::vector<Blanket> blankets;
    ComPtr<IWbemServices> services;
    services.Attach(new FakeServices(blankets));
    auto service = MakeWmiService(services, c.user, c.password);
    auto enumeration = service->InstancesOf("Win32_QuickFixEngineering");
    EXPECT_EQ(enumeration->Next(), nullptr);
    // The connection's proxy, then the enumerator's, whether an account is given or not; with
    // an account, each proxy's IUnknown too.
    ASSERT_EQ(blankets.size(), c.identity ? 4u : 2u) << c.user;
    for (const Blanket& blanket : blankets) {
      EXPECT_EQ(blanket.level, static_cast<DWORD>(RPC_C_AUTHN_LEVEL_PKT_PRIVACY)) << c.user;
      EXPECT_EQ(blanket.impersonation, static_cast<DWORD>(RPC_C_IMP_LEVEL_IMPERSONATE));
      EXPECT_EQ(blanket.authentication, static_cast<DWORD>(RPC_C_AUTHN_DEFAULT));
      EXPECT_EQ(blanket.authorisation, static_cast<DWORD>(RPC_C_AUTHZ_DEFAULT));
      EXPECT_TRUE(blanket.defaultPrincipal);
      EXPECT_EQ(blanket.identity, c.identity) << c.user;
      EXPECT_EQ(blanket.user, c.expectedUser);
      EXPECT_EQ(blanket.domain, c.expectedDomain);
      EXPECT_EQ(blanket.password, c.expectedPassword);
    }
  }
}

TEST(WmiEnumeration, TheWaitForEachObjectIsTheOneGivenAndRunningOutIsAFailure) {
  ComScope com(COINIT_APARTMENTTHREADED);
  std::vector<Blanket> blankets;
  for (const bool limited : {false, true}) {
    SCOPED_TRACE(limited ? "limited" : "unlimited");
    NextCalls calls;
    calls.timeOut = limited;
    ComPtr<IWbemServices> services;
    services.Attach(new FakeServices(blankets, &calls));
    auto service = limited ? MakeWmiService(services, "", "", nullptr, 5000)
                           : MakeWmiService(services, "", "");
    auto enumeration = service->InstancesOf("Win32_QuickFixEngineering");
    if (!limited) {
      EXPECT_EQ(enumeration->Next(),
                nullptr);  // the end of the list, waited for as long as it takes
      EXPECT_EQ(calls.timeouts, std::vector<LONG>{static_cast<LONG>(WBEM_INFINITE)});
      continue;
    }
    try {
      enumeration->Next();
      ADD_FAILURE() << "a wait that ran out read as the end of the list";
    } catch (const EOleException& error) {
      EXPECT_EQ(static_cast<std::uint32_t>(error.ErrorCode()), 0x800705B4u);
      EXPECT_STREQ(error.what(), "Pas de r\xC3\xA9ponse dans le d\xC3\xA9lai de 5 s");
    }
    EXPECT_EQ(calls.timeouts, std::vector<LONG>{5000});
  }
}

}  // namespace
