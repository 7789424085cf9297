// The registry the conformance suite runs against. Natively: the in-memory twin, once in
// Windows order and once in Wine order. As a Windows program: the real registry, which is
// Wine's under Wine.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/twin/twin_registry.h"

namespace conformance {

// Where every case keeps its keys: HKEY_CURRENT_USER below this path.
extern const char kTestKeyPath[];

// The targets this build can run: "twin" and "twin_wine_order" natively, "win32" on Windows.
std::vector<std::string> RegistryTargets();

// Whether this process runs under Wine (ntdll exports wine_get_version); false natively.
bool RunningUnderWine();
// Wine's version text, or "" when not under Wine.
std::string WineVersion();
// Whether ANSI text is cp932 for the registry under test (always so for the twin).
bool AnsiIsCp932(const std::string& target);

class RegistryUnderTest {
 public:
  explicit RegistryUnderTest(const std::string& target);
  ~RegistryUnderTest();

  platform::IRegistry& Registry() { return *m_registry; }
  // Enumeration follows Wine 8 rather than Windows: the real registry under Wine, or the twin
  // set to Wine order.
  bool BehavesLikeWine() const { return m_wineBehaviour; }
  // The twin, or null on the real registry.
  platform::MemoryRegistry* Twin() { return m_twin; }

 private:
  std::unique_ptr<platform::IRegistry> m_registry;
  platform::MemoryRegistry* m_twin = nullptr;
  bool m_wineBehaviour = false;
};

// On the real registry: removes what an interrupted run left under kTestKeyPath, and at the
// end removes the whole test key. Nothing to do on the twin.
void PrepareRealRegistry();
void CleanUpRealRegistry();

}  // namespace conformance
