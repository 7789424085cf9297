// The item data of an owner-drawn slot item. Windows keeps the pointer given to AppendMenu,
// not the characters, so it must name text that stays put while the menu is up, even when a
// device change (sent to the window during the menu's loop) refreshes the slots meanwhile.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/unit/test_tavrik_machine.h"

namespace {

// Remembers the raw item data of owner-drawn items and, while the menu is tracked, lets a
// device change refresh the slots before looking at what the pointers name.
class PointerKeepingUi : public platform::WindowUiModel {
 public:
  CEjectorDlg* dlg = nullptr;
  std::vector<std::pair<uint32_t, const char*>> itemData;
  int checked = 0;
  int dangling = 0;

  bool AppendMenu(platform::MenuRef menu, uint32_t flags, uint32_t id, const char* text) override {
    if ((flags & platform::kMfOwnerDraw) != 0) itemData.push_back({id, text});
    return WindowUiModel::AppendMenu(menu, flags, id, text);
  }
  void TrackPopupMenu(platform::MenuRef menu, long x, long y) override {
    dlg->RefreshSlots(false);
    for (const auto& data : itemData) {
      ++checked;
      if (data.second != dlg->TrayMenus().ItemText(data.first - ID_SLOT_FIRST).c_str()) ++dangling;
    }
    WindowUiModel::TrackPopupMenu(menu, x, y);
  }
};

TEST(TavrikOwnerDrawData, ItemDataNamesTheWindowsOwnCopyThatARefreshLeavesAlone) {
  TavrikMachine machine("WinXP");
  machine.DefineReader(0, "Norvell NR-T2",
                       {{"CF", "コンパクトフラッシュ", "", {"USBSTOR\\Disk&Ven_Norvell&Prod_T2_CF"}},
                        {"SD", "SDカード", "", {"USBSTOR\\Disk&Ven_Norvell&Prod_T2_SD"}}});
  machine.PlugSlot("USBSTOR\\Disk&Ven_Norvell&Prod_T2_CF", 'F', true, "Norvell NR-T2 CF");
  machine.PlugSlot("USBSTOR\\Disk&Ven_Norvell&Prod_T2_SD", 'G', false, "Norvell NR-T2 SD");
  PointerKeepingUi ui;
  EjectorPlatform seams{machine.registry, machine.system, machine.volumes,
                        machine.files,    machine.shell,  ui,
                        machine.processes};
  CEjectorDlg dlg(seams, "Tavrik");
  ui.dlg = &dlg;
  dlg.AttachWindow(0x1234);
  dlg.OnCreate();

  dlg.OnTrayNotify(0, kWmLButtonDown);
  EXPECT_EQ(2, ui.checked);
  EXPECT_EQ(0, ui.dangling);
  EXPECT_EQ("コンパクトフラッシュ取り出し (F:) ", dlg.ItemToDraw(1038).text);
}

}  // namespace
