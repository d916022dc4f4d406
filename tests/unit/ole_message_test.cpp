#include "inventory/ole_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::int32_t kBadNamespace = static_cast<std::int32_t>(0x8004100Eu);

TEST(FirstOleMessage, TakesTheFirstTextThatSaysSomething) {
  struct Case {
    std::string wmi, description, system, expected;
  };
  const std::vector<Case> cases = {
      {"Espace de noms non valide \r\n", "desc", "sys", "Espace de noms non valide"},
      {"", "Description.", "sys", "Description"},
      {" \t.", "", "Le texte du système.\r\n", "Le texte du système"},
      // Wine's WMI spells the code out for every code: that describes nothing.
      {"Error code: 0x8004100e", "", "", "Erreur OLE 8004100e"},
      {"Error code: 0x8004100E", "", "Système", "Système"},
      {"", "", "", "Erreur OLE 8004100e"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstOleMessage(kBadNamespace, {c.wmi, c.description, c.system}), c.expected)
        << c.wmi << "|" << c.description << "|" << c.system;
  }
  EXPECT_EQ(FirstOleMessage(1, {}), "Erreur OLE 00000001");
}

TEST(WmiConnectionPath, EmptyServerAndNamespaceTakeTheirDefaults) {
  struct Case {
    const char *server, *nameSpace, *expected;
  };
  const std::vector<Case> cases = {
      {".", "root\\cimv2", "\\\\.\\root\\cimv2"},
      {"", "root\\cimv2", "\\\\.\\root\\cimv2"},
      {"SERVER01", "", "\\\\SERVER01\\root\\default"},
      {"", "", "\\\\.\\root\\default"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WmiConnectionPath(c.server, c.nameSpace, "root\\default"), c.expected)
        << c.server << "|" << c.nameSpace;
  }
}

}  // namespace
