#include "tests/conformance/registry_under_test.h"

#include "platform/reg_files/registry_tree.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_registry.h"
#endif

namespace conformance {

const char kTestKeyPath[] = "Software\\SlotToolsConformance";

std::vector<std::string> RegistryTargets() {
#ifdef _WIN32
  return {"win32"};
#else
  return {"twin", "twin_wine_order"};
#endif
}

std::string WineVersion() {
#ifdef _WIN32
  using WineGetVersion = const char*(__cdecl*)();
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (ntdll == nullptr) return std::string();
  auto getVersion =
      reinterpret_cast<WineGetVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
  return getVersion != nullptr ? std::string(getVersion()) : std::string();
#else
  return std::string();
#endif
}

bool RunningUnderWine() { return !WineVersion().empty(); }

bool AnsiIsCp932(const std::string& target) {
#ifdef _WIN32
  if (target == "win32") return GetACP() == 932;
#endif
  (void)target;
  return true;
}

RegistryUnderTest::RegistryUnderTest(const std::string& target) {
#ifdef _WIN32
  if (target == "win32") {
    m_registry = std::make_unique<platform::Win32Registry>();
    m_wineBehaviour = RunningUnderWine();
    return;
  }
#endif
  auto twin = std::make_unique<platform::MemoryRegistry>();
  m_twin = twin.get();
  if (target == "twin_wine_order") {
    twin->SetWineOrder(true);
    m_wineBehaviour = true;
  }
  m_registry = std::move(twin);
}

RegistryUnderTest::~RegistryUnderTest() = default;

void PrepareRealRegistry() {
#ifdef _WIN32
  platform::Win32Registry registry;
  platform::DeleteRegistryTree(registry, platform::kHkeyCurrentUser, kTestKeyPath);
#endif
}

void CleanUpRealRegistry() { PrepareRealRegistry(); }

}  // namespace conformance
