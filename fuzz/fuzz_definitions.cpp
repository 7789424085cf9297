// The reader definitions loader on a fuzzed RW_Devices tree (registry_image_text.h), then the
// ejector's start and tray click over what it loaded: counts stay within the records, strings
// within their 260-byte buffers, and every key opened is closed.
#include <cstdint>
#include <string>
#include <vector>

#include "common/os_tags.h"
#include "fake_machine/ejector_twins.h"
#include "fake_machine/fake_machine.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/registry_image_text.h"
#include "tavrik/ejector_dlg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  fake::Machine machine(kOsWinXP);
  platform::MemoryRegistry& registry = machine.registry;
  const std::vector<FuzzFields> others =
      WriteRegistryImageText(registry, std::string(reinterpret_cast<const char*>(data), size));
  for (const FuzzFields& fields : others)
    if (fields[0] == "O" && fields.size() > 1)
      machine.SetVersion(fields[1] == "98" ? kOsWin98 : kOsWinVista);

  fake::EjectorTwins twins;
  twins.InstallTavrik();
  CEjectorDlg dlg(twins.Seams(registry, machine.system), "Tavrik");
  dlg.AttachWindow(0x1234);

  const long rc = dlg.LoadDefinitions();
  FUZZ_CHECK(registry.OpenHandleCount() == 0);
  if (rc != 0) FUZZ_CHECK(dlg.DeviceNum() == 0);
  FUZZ_CHECK(dlg.DeviceNum() <= kReaderCount);
  for (int p = 0; p < kReaderCount; ++p) {
    const CReaderDefinition& reader = dlg.Reader(p);
    FUZZ_CHECK(reader.m_nDriveNum <= kMaxDefinedSlots);
    FUZZ_CHECK(reader.m_strFriendlyName.size() < 260 && reader.m_strMemo.size() < 260);
    for (const CSlotDefinition& slot : reader.m_aSlots) {
      FUZZ_CHECK(slot.m_searchKeys.m_nCount <= kMaxSearchKeys);
      FUZZ_CHECK(slot.m_strDriveFunc.size() < 260 && slot.m_strDriveFuncs.size() < 260);
      FUZZ_CHECK(slot.m_strIconPath.size() < 260);
      for (const std::string& key : slot.m_searchKeys.m_astrKeys) FUZZ_CHECK(key.size() < 260);
    }
  }

  // The start and a left click: refresh, menus, icons and shortcuts over these definitions.
  dlg.OnCreate();
  dlg.OnTrayNotify(0, kWmLButtonDown);
  dlg.OnDeviceChange();
  FUZZ_CHECK(registry.OpenHandleCount() == 0);
  dlg.OnClose();
  dlg.OnDestroy();
  FUZZ_CHECK(registry.OpenHandleCount() == 0);
  return 0;
}
