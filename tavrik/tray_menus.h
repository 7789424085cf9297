// The tray icon's two menus: the slot menu on a left click, the fixed menu on a right click,
// and the texts the owner-drawn slot items paint.
#pragma once
#include <cstdint>
#include <string>

#include "platform/window_ui.h"
#include "tavrik/command_ids.h"
#include "tavrik/reader_definitions.h"
#include "tavrik/slot_table.h"

class CTrayMenus {
 public:
  CTrayMenus(platform::IWindowUi& ui, const CReaderDefinitions& definitions,
             const CSlotTable& slots)
      : m_ui(ui), m_definitions(definitions), m_slots(slots) {}

  // Shows the slot menu as the slot state stands (the caller refreshes first).
  void ShowSlotMenu(const platform::CursorPos& at);
  void ShowFixedMenu(const platform::CursorPos& at);
  // The items of one reader position, ids from firstId on.
  void AppendReaderItems(platform::MenuRef menu, int readerPosition, uint32_t firstId);

  // Owner-drawn slot items: the size, and what to paint for an id (empty text: nothing).
  struct OwnerDrawItem {
    std::string icon;
    std::string text;
  };
  OwnerDrawItem ItemToDraw(uint32_t id) const;
  static constexpr int kOwnerDrawWidth = 240;
  // The text an owner-drawn item's data points at, per slot id from ID_SLOT_FIRST.
  const std::string& ItemText(size_t item) const { return m_strItemText[item]; }

 private:
  int DeviceNum() const { return m_definitions.m_nDeviceNum; }

  platform::IWindowUi& m_ui;
  const CReaderDefinitions& m_definitions;
  const CSlotTable& m_slots;
  std::string m_strItemIcon[kSlotIdCount];
  std::string m_strItemText[kSlotIdCount];
};
