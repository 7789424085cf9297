// Loscan's main dialog as its template creates it, for the in-memory dialog seam: every
// control id with its kind, combo-box sorting, initial text and visibility. A unit test reads
// the template in loscan.rc back and compares, so a change to one shows up in the other.
#pragma once
#include "platform/twin/twin_dialog_ui.h"

// The list view's client width in pixels for the model: the template's 194 dialog units in
// the dialog font, less the border.
inline constexpr int kStatusListClientWidth = 287;

void DescribeLoscanDialog(platform::DialogUiModel& ui);
