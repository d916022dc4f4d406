// The WMI adapter against Wine's WMI provider, the conversion of its values, and the COM scope.
#include "inventory/wmi_source_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Systeme/com_owners_win32.h"
#include "Systeme/com_scope_win32.h"
#include "Systeme/errors.h"
#include "Systeme/text_convert_win32.h"
#include "inventory/ole_message.h"

namespace {

class WmiSourceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(com.Initialised()) << std::hex << com.Result(); }

  // The EOleException a connection raises, or a failure when it raises none.
  EOleException ConnectError(const std::string& server, const std::string& nameSpace) {
    try {
      source.ConnectServer(server, nameSpace, "", "");
    } catch (const EOleException& error) {
      return error;
    }
    ADD_FAILURE() << "no error for " << server << " " << nameSpace;
    return EOleException("", 0);
  }

  ComScope com;
  WmiHotfixSource source;
};

TEST_F(WmiSourceTest, ReadsTheInstalledHotfix) {
  auto service = source.ConnectServer(".", "root\\cimv2", "", "");
  ASSERT_NE(service, nullptr);
  auto objects = service->InstancesOf("Win32_QuickFixEngineering");
  ASSERT_NE(objects, nullptr);
  auto object = objects->Next();
  ASSERT_NE(object, nullptr);

  const std::vector<std::pair<std::string, std::string>> expected = {
      {"HotFixID", "KB1234567"},
      {"Description", "Update"},
      {"InstalledBy", ""},
      {"InstalledOn", "22/2/2022"},
  };
  for (const auto& [name, value] : expected) {
    const HotfixProperty property = object->Property(name);
    EXPECT_EQ(property.CIMType, wbemCimtypeString) << name;
    ASSERT_TRUE(property.Value.has_value()) << name;
    EXPECT_EQ(*property.Value, value) << name;
    EXPECT_EQ(property.Name, name);
  }

  // The one object is followed by the end, which stays the end.
  EXPECT_EQ(objects->Next(), nullptr);
  EXPECT_EQ(objects->Next(), nullptr);
}

TEST_F(WmiSourceTest, AMissingPropertyIsAnOleException) {
  auto service = source.ConnectServer(".", "root\\cimv2", "", "");
  auto objects = service->InstancesOf("Win32_QuickFixEngineering");
  auto object = objects->Next();
  ASSERT_NE(object, nullptr);
  try {
    object->Property("NoSuchProperty");
    FAIL() << "no error";
  } catch (const EOleException& error) {
    EXPECT_EQ(static_cast<std::uint32_t>(error.ErrorCode()), 0x80041002u);  // not found
    EXPECT_NE(std::string(error.what()), "");
  }
  // The object stays readable after the failure.
  EXPECT_EQ(object->Property("HotFixID").Value, "KB1234567");
}

TEST_F(WmiSourceTest, AConnectionFailureCarriesItsCodeAndMessage) {
  const EOleException error = ConnectError(".", "root\\nonexistent");
  EXPECT_EQ(static_cast<std::uint32_t>(error.ErrorCode()), 0x8004100Eu);  // invalid namespace
  // Windows' WMI has a sentence for its codes; Wine's only spells the code out, which is no
  // message, and the system has no text for WMI's codes either: the code is what is left.
  EXPECT_STREQ(error.what(), "Erreur OLE 8004100e");
}

TEST_F(WmiSourceTest, AnEmptyServerIsThisComputerAndAnEmptyNamespaceTheDefault) {
  for (const auto& [server, nameSpace] :
       std::vector<std::pair<std::string, std::string>>{{"", "root\\cimv2"}, {".", ""}, {"", ""}}) {
    auto service = source.ConnectServer(server, nameSpace, "", "");
    ASSERT_NE(service, nullptr);
    auto object = service->InstancesOf("Win32_QuickFixEngineering")->Next();
    ASSERT_NE(object, nullptr) << "[" << server << "] [" << nameSpace << "]";
    EXPECT_EQ(object->Property("HotFixID").Value, "KB1234567");
  }
}

TEST(DefaultWmiNamespace, TheScriptingDefaultOrRootCimv2) {
  const wchar_t* key = L"SOFTWARE\\Microsoft\\WBEM\\Scripting";
  HKEY scripting = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &scripting, nullptr),
            ERROR_SUCCESS);
  struct Case {
    const wchar_t* value;  // null: none set
    const char* expected;
  };
  for (const Case& c : std::vector<Case>{
           {nullptr, "root\\cimv2"}, {L"root\\wmi", "root\\wmi"}, {L"", "root\\cimv2"}}) {
    RegDeleteValueW(scripting, L"Default Namespace");
    if (c.value) {
      RegSetValueExW(scripting, L"Default Namespace", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(c.value),
                     static_cast<DWORD>((wcslen(c.value) + 1) * sizeof(wchar_t)));
    }
    EXPECT_EQ(DefaultWmiNamespace(), c.expected);
  }
  RegDeleteValueW(scripting, L"Default Namespace");
  RegCloseKey(scripting);
}

TEST_F(WmiSourceTest, ASourceCanBeUsedAgainAfterAFailure) {
  ConnectError(".", "root\\nonexistent");
  auto service = source.ConnectServer(".", "root\\cimv2", "", "");
  auto objects = service->InstancesOf("Win32_QuickFixEngineering");
  auto object = objects->Next();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->Property("HotFixID").Value, "KB1234567");
}

TEST_F(WmiSourceTest, AnotherClassReadsItsNonStringProperties) {
  auto service = source.ConnectServer(".", "root\\cimv2", "", "");
  auto objects = service->InstancesOf("Win32_OperatingSystem");
  auto object = objects->Next();
  ASSERT_NE(object, nullptr);
  const HotfixProperty language = object->Property("OSLanguage");
  EXPECT_NE(language.CIMType, wbemCimtypeString);
  ASSERT_TRUE(language.Value.has_value());  // a number has a text form
  EXPECT_FALSE(language.Value->empty());
  EXPECT_EQ(language.Value->find_first_not_of("0123456789"), std::string::npos);
}

// The system's text for a code, without its full stop and line break; the code spelt out where
// the system has no text (WMI's codes: WMI keeps its texts apart from the system's).
TEST(OleErrorMessage, SystemTextOrTheCode) {
  const std::vector<std::pair<std::uint32_t, std::string>> cases = {
      {0x8004100Eu, "Erreur OLE 8004100e"},
      {0x80041015u, "Erreur OLE 80041015"},
      {0x80070005u, "Access denied"},
      {0x00000001u, "Invalid function"},
  };
  for (const auto& [code, expected] : cases) {
    EXPECT_EQ(OleErrorMessage(static_cast<std::int32_t>(code)), expected) << std::hex << code;
  }
}

TEST(WmiValueText, EveryKindOfValue) {
  UniqueVariant text;
  text.get()->vt = VT_BSTR;
  text.get()->bstrVal = SysAllocString(L"KB1234567");
  EXPECT_EQ(WmiValueText(*text.get()), "KB1234567");

  UniqueVariant null;
  null.get()->vt = VT_NULL;
  EXPECT_EQ(WmiValueText(*null.get()), std::nullopt);

  UniqueVariant number;
  number.get()->vt = VT_I4;
  number.get()->lVal = -42;
  EXPECT_EQ(WmiValueText(*number.get()), "-42");

  UniqueVariant truth;
  truth.get()->vt = VT_BOOL;
  truth.get()->boolVal = VARIANT_TRUE;
  ASSERT_TRUE(WmiValueText(*truth.get()).has_value());

  UniqueVariant nullText;  // a BSTR variant holding no string
  nullText.get()->vt = VT_BSTR;
  nullText.get()->bstrVal = nullptr;
  EXPECT_EQ(WmiValueText(*nullText.get()), "");

  UniqueVariant array;  // no text form
  array.get()->vt = VT_ARRAY | VT_I4;
  SAFEARRAYBOUND bound{3, 0};
  array.get()->parray = SafeArrayCreate(VT_I4, 1, &bound);
  EXPECT_EQ(WmiValueText(*array.get()), std::nullopt);
}

TEST(WmiValueText, LongAndNonLatinTexts) {
  const std::vector<std::pair<std::wstring, std::string>> cases = {
      {std::wstring(100000, L'x'), std::string(100000, 'x')},
      {L"Mise \u00e0 jour", "Mise \xE0 jour"},  // Latin-1 in code page 1252
      {L"\u041e\u0431\u043d\u043e\u0432\u043b\u0435\u043d\u0438\u0435", "??????????"},  // Cyrillic
      {L"\u66f4\u65b0", "??"},                                                          // CJK
      {L"\xD83D\xDE00", "??"},  // one surrogate pair: each half is unknown
      {L"\xD800", "?"},         // a lone surrogate
      {std::wstring(L"a\0b", 3), std::string("a\0b", 3)},  // an embedded zero
  };
  for (const auto& [wide, expected] : cases) {
    UniqueVariant value;
    value.get()->vt = VT_BSTR;
    value.get()->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    const auto text = WmiValueText(*value.get());
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, expected);
  }
  std::wstring huge;
  for (int i = 0; i < 100000; ++i) huge += L'\u4e00';
  UniqueVariant value;
  value.get()->vt = VT_BSTR;
  value.get()->bstrVal = SysAllocStringLen(huge.data(), static_cast<UINT>(huge.size()));
  EXPECT_FALSE(WmiValueText(*value.get())->empty());
}

TEST(ComScope, UninitialisesOnlyWhatItInitialised) {
  ComScope outer(COINIT_APARTMENTTHREADED);
  ASSERT_TRUE(outer.Initialised());
  {
    ComScope nested(COINIT_APARTMENTTHREADED);
    EXPECT_EQ(nested.Result(), S_FALSE);  // counts, and is balanced when the scope ends
    EXPECT_TRUE(nested.Initialised());
  }
  {
    ComScope otherModel(COINIT_MULTITHREADED);
    EXPECT_EQ(otherModel.Result(), RPC_E_CHANGED_MODE);
    EXPECT_FALSE(otherModel.Initialised());
  }
  // Neither inner scope took the outer initialisation away.
  ComScope again(COINIT_APARTMENTTHREADED);
  EXPECT_EQ(again.Result(), S_FALSE);
  WmiHotfixSource source;
  EXPECT_NE(source.ConnectServer(".", "root\\cimv2", "", ""), nullptr);
}

}  // namespace
