#include "loscan/loscan_dialog_layout.h"

#include "loscan/loscan_dlg.h"
#include "resources/loscan/resource.h"

void DescribeLoscanDialog(platform::DialogUiModel& ui) {
  using Kind = platform::DialogUiModel::Kind;
  // The device list keeps the catalogue order; the letter lists keep their letters sorted.
  ui.AddControl(IDC_DEVICE, Kind::kComboBox);
  for (int row = 0; row < kSlotRows; ++row) {
    ui.AddControl(kSlotLabelIds[row], Kind::kStatic, "Static");
    ui.AddControl(kCurrentLetterIds[row], Kind::kEdit);
    ui.AddControl(kNewLetterIds[row], Kind::kComboBox).sorted = true;
  }
  ui.AddControl(IDC_STATUS_LIST, Kind::kListView).clientWidth = kStatusListClientWidth;
  ui.AddControl(IDC_SET, Kind::kButton, "設定");
  ui.AddControl(IDC_REFRESH, Kind::kButton, "更新");
  ui.AddControl(1, Kind::kButton, "終了");          // IDOK
  ui.AddControl(2, Kind::kButton, "キャンセル").visible = false;  // IDCANCEL: Esc, close box
}
