#include "tavrik/tray_menus.h"

namespace {
struct FixedItem {
  uint32_t id;  // 0: a separator
  const char* text;
};
const FixedItem kFixedMenu[] = {
    {ID_OPEN_EXPLORER, "エクスプローラを開く"}, {ID_OPEN_MYCOMPUTER, "マイコンピュータを開く"},
    {0, nullptr},
    {ID_ICON_REPAIR, "アイコン修復"},
    {0, nullptr},
    {ID_VERSION_INFO, "バージョン情報"},
    {0, nullptr},
    {ID_EXIT, "終了"},
};
}  // namespace

void CTrayMenus::ShowSlotMenu(const platform::CursorPos& at) {
  const platform::ScopedPopupMenu owner(m_ui);
  const platform::MenuRef menu = owner.Get();
  for (int p = 0; p < kReaderPositions; ++p) AppendReaderItems(menu, p, FirstSlotId(p));
  if (m_ui.GetMenuItemCount(menu) > 0) m_ui.AppendMenu(menu, platform::kMfSeparator, 0, nullptr);
  m_ui.AppendMenu(menu, platform::kMfString, ID_EJECT_ALL, "全てのメディアを取り出す");
  bool anyReady = false;
  for (int p = 0; p < DeviceNum() && p < kReaderPositions; ++p)
    if (m_slots.Ready(CellIndex(p, m_definitions.m_aReaders[p].m_nDriveNum)) == 1) anyReady = true;
  if (!anyReady) m_ui.EnableMenuItem(menu, ID_EJECT_ALL, platform::kMfGrayed);
  // The window must be in the foreground, or the menu does not close when the user clicks
  // somewhere else.
  m_ui.SetForegroundWindow();
  m_ui.TrackPopupMenu(menu, at.x, at.y);
}

void CTrayMenus::ShowFixedMenu(const platform::CursorPos& at) {
  const platform::ScopedPopupMenu owner(m_ui);
  const platform::MenuRef menu = owner.Get();
  for (const FixedItem& item : kFixedMenu) {
    if (item.id == 0)
      m_ui.AppendMenu(menu, platform::kMfSeparator, 0, nullptr);
    else
      m_ui.AppendMenu(menu, platform::kMfString, item.id, item.text);
  }
  m_ui.SetForegroundWindow();
  m_ui.TrackPopupMenu(menu, at.x, at.y);
}

void CTrayMenus::AppendReaderItems(platform::MenuRef menu, int p, uint32_t firstId) {
  if (p >= DeviceNum()) return;  // positions beyond the defined readers keep no state
  const CReaderDefinition& reader = m_definitions.m_aReaders[p];
  if (m_slots.Found(CellIndex(p, reader.m_nDriveNum)) != 1) return;
  if (p != 0 && m_ui.GetMenuItemCount(menu) > 0)
    m_ui.AppendMenu(menu, platform::kMfSeparator, 0, nullptr);
  const std::vector<std::string>& texts = m_slots.MenuTexts(p);
  for (size_t i = 0; i < texts.size(); ++i) {
    int position = m_ui.GetMenuItemCount(menu);
    uint32_t id = firstId + static_cast<uint32_t>(i);
    // A definition with more slots than its block would run into the next reader's ids.
    if (static_cast<int>(i) >= SlotIdsInBlock(p)) break;
    size_t item = id - ID_SLOT_FIRST;
    m_strItemIcon[item].clear();
    m_strItemText[item].clear();
    int cell = CellIndex(p, static_cast<int>(i));
    if (m_slots.Drive(cell) != kNoDrive) {
      m_strItemIcon[item] = reader.m_aSlots[i].m_strIconPath;
      m_strItemText[item] = texts[i];
      // The item data is a pointer the menu keeps: it points into the per-id copy, which no
      // refresh touches while the menu is up (a device change can empty the list texts).
      m_ui.AppendMenu(menu, platform::kMfOwnerDraw, id, m_strItemText[item].c_str());
    } else {
      m_ui.AppendMenu(menu, platform::kMfString, id, texts[i].c_str());
    }
    if (m_slots.Ready(cell) == 0)
      m_ui.EnableMenuItem(menu, m_ui.GetMenuItemID(menu, position), platform::kMfGrayed);
  }
}

CTrayMenus::OwnerDrawItem CTrayMenus::ItemToDraw(uint32_t id) const {
  if (id < ID_SLOT_FIRST || id > ID_SLOT_LAST) return {};
  size_t item = id - ID_SLOT_FIRST;
  return {m_strItemIcon[item], m_strItemText[item]};
}
