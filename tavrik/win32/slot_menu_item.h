// The owner-drawn slot items of the tray's slot menu: their size, and how one is painted.
#pragma once
#include "platform/win32/windows_names.h"

#include "tavrik/ejector_dlg.h"

// WM_MEASUREITEM of a menu item.
void MeasureSlotMenuItem(MEASUREITEMSTRUCT& item);
// WM_DRAWITEM of a menu item: the slot's icon file and text; an item without text is left
// unpainted.
void DrawSlotMenuItem(const DRAWITEMSTRUCT& item, const CEjectorDlg::OwnerDrawItem& slot);
