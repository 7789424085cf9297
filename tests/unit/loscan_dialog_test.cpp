// Loscan's main dialog: initialisation, model layout and the automatic refresh check.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "loscan/loscan_dialog_layout.h"
#include "platform/text/codepage.h"
#include "resources/loscan/resource.h"
#include "tests/unit/test_loscan_machine.h"

namespace {

TEST(LoscanDialog, StartsWithTheLastModelAndItsFiveSlotRows) {
  LoscanMachine m("WinXP");
  m.Open();
  const auto* device = m.ui.Find(IDC_DEVICE);
  ASSERT_EQ(19u, device->items.size());
  EXPECT_EQ("NVR-410U", device->items[0]);
  EXPECT_EQ("USB Storage Device", device->items[7]);
  EXPECT_EQ("NVR-550S", m.ui.GetText(IDC_DEVICE));
  EXPECT_EQ(18, device->curSel);
  for (int row = 0; row < 5; ++row) {
    EXPECT_TRUE(m.ui.IsVisible(kNewLetterIds[row])) << row;
    EXPECT_TRUE(m.ui.IsVisible(kCurrentLetterIds[row])) << row;
  }
  EXPECT_FALSE(m.ui.IsVisible(kNewLetterIds[5]));
  EXPECT_FALSE(m.ui.IsVisible(kCurrentLetterIds[5]));
  EXPECT_TRUE(m.ui.IsVisible(kSlotLabelIds[5]));  // the label stays, empty
  EXPECT_EQ("", m.ui.GetText(kSlotLabelIds[5]));
  EXPECT_EQ("コンパクトフラッシュ\n/マイクロドライブ", m.ui.GetText(kSlotLabelIds[0]));
  EXPECT_EQ("ＳＤメモリーカード\n/マルチメディアカード", m.ui.GetText(kSlotLabelIds[1]));
  EXPECT_EQ("メモリースティック\n/メモリースティック ＰＲＯ", m.ui.GetText(kSlotLabelIds[2]));
  EXPECT_EQ("スマートメディア\n/ｘＤ-ピクチャーカード", m.ui.GetText(kSlotLabelIds[3]));
  EXPECT_EQ("micro ＳＤメモリーカード", m.ui.GetText(kSlotLabelIds[4]));
}

TEST(LoscanDialog, StatusListGetsItsImagesAndColumns) {
  LoscanMachine m("WinXP");
  m.Open();
  const auto* list = m.ui.Find(IDC_STATUS_LIST);
  const auto* images = m.ui.FindImageList(list->smallImages);
  ASSERT_NE(nullptr, images);
  EXPECT_EQ(16, images->cx);
  EXPECT_EQ(16, images->cy);
  EXPECT_EQ(1, images->initial);
  EXPECT_EQ(1, images->grow);
  EXPECT_EQ((std::vector<int>{134, 135, 136, 137, 138, 139, 140, 145}), images->bitmaps);
  for (uint32_t mask : images->masks) EXPECT_EQ(0xFFFFFFu, mask);
  EXPECT_EQ((std::vector<std::string>{"ドライブ名", "機能", "機器"}), list->columnHeaders);
  // Width W of the client area: W / 2 - 44, truncated.
  const int half = kStatusListClientWidth / 2 - 44;
  EXPECT_EQ((std::vector<int>{70, half, half}), list->columnWidths);
}

TEST(LoscanDialog, OneSlotModelHidesRowsTwoToSixAndBlanksTheirLabels) {
  LoscanMachine m("WinXP");
  m.Open();
  m.SelectModel("NVR-113S");
  EXPECT_TRUE(m.ui.IsVisible(kNewLetterIds[0]));
  EXPECT_EQ("ｘＤ-ピクチャーカード", m.ui.GetText(kSlotLabelIds[0]));
  for (int row = 1; row < kSlotRows; ++row) {
    EXPECT_FALSE(m.ui.IsVisible(kNewLetterIds[row])) << row;
    EXPECT_FALSE(m.ui.IsVisible(kCurrentLetterIds[row])) << row;
    EXPECT_EQ("", m.ui.GetText(kSlotLabelIds[row])) << row;
  }
}

TEST(LoscanDialog, NameOutsideTheCatalogueLeavesEveryRowHidden) {
  LoscanMachine m("WinXP");
  m.Open();
  m.ui.ComboSetCurSel(IDC_DEVICE, -1);
  m.dialog->ApplyModelLayout();
  for (int row = 0; row < kSlotRows; ++row) {
    EXPECT_FALSE(m.ui.IsVisible(kNewLetterIds[row]));
    EXPECT_EQ("", m.ui.GetText(kSlotLabelIds[row]));
  }
  EXPECT_FALSE(m.ui.IsEnabled(IDC_SET));
  EXPECT_EQ(24, m.ui.ListGetItemCount(IDC_STATUS_LIST));
}

TEST(LoscanDialog, RefreshCheckWaitsForAChangeOfLogicalDrives) {
  LoscanMachine m("WinXP");
  m.Open();
  // The reader is plugged in: its records appear, and with them the drive.
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20\\6&2f&0&1&0",
              "Norvell NVR550S CF USB Device", "7&2f&0", 'F');
  m.system.RemoveDrive('F');
  m.dialog->CheckDriveChange();
  EXPECT_EQ("NoDrive", m.ui.GetText(kCurrentLetterIds[0]));
  m.system.SetDrive('F', platform::kDriveRemovable);
  m.dialog->CheckDriveChange();
  EXPECT_EQ("F", m.ui.GetText(kCurrentLetterIds[0]));
  EXPECT_EQ(m.system.GetLogicalDrives(), m.dialog->m_dwLastDrives);
}

TEST(LoscanDialog, RefreshButtonRereadsWithoutADriveChange) {
  LoscanMachine m("WinXP");
  m.Open();
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20\\6&2f&0&1&0",
              "Norvell NVR550S CF USB Device", "7&2f&0", 'F');
  m.dialog->Refresh();
  EXPECT_EQ("F", m.ui.GetText(kCurrentLetterIds[0]));
  EXPECT_TRUE(m.ui.IsEnabled(IDC_REFRESH));
}


// The model of the main dialog is written by hand beside loscan.rc; this reads the template's
// controls back so the two cannot drift apart unnoticed.
struct TemplateControl {
  int id = 0;
  platform::DialogUiModel::Kind kind = platform::DialogUiModel::Kind::kStatic;
  std::string text;  // code page 932, as the model holds it
  std::string style;
};

std::string ReadSource(const char* path) {
  std::ifstream in(std::string(SLOT_SOURCE_DIR) + "/" + path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

std::map<std::string, int> ResourceIds() {
  std::map<std::string, int> ids = {{"IDOK", 1}, {"IDCANCEL", 2}, {"IDC_STATIC", -1}};
  std::istringstream lines(ReadSource("resources/loscan/resource.h"));
  std::string define, name, value;
  while (lines >> define)
    if (define == "#define" && lines >> name >> value) ids[name] = std::stoi(value, nullptr, 0);
  return ids;
}

// The comma-separated fields of a control statement, trimmed, quotes kept off the texts.
std::vector<std::string> Fields(const std::string& rest) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char c : rest) {
    if (c == '"')
      quoted = !quoted;
    else if (c == ',' && !quoted)
      fields.emplace_back();
    else
      fields.back() += c;
  }
  for (std::string& field : fields) {
    field.erase(0, field.find_first_not_of(' '));
    field.erase(field.find_last_not_of(' ') + 1);
  }
  return fields;
}

std::vector<TemplateControl> MainDialogTemplate() {
  using Kind = platform::DialogUiModel::Kind;
  const std::map<std::string, Kind> kinds = {
      {"LTEXT", Kind::kStatic},    {"CTEXT", Kind::kStatic},         {"EDITTEXT", Kind::kEdit},
      {"COMBOBOX", Kind::kComboBox}, {"PUSHBUTTON", Kind::kButton}, {"DEFPUSHBUTTON", Kind::kButton},
      {"Static", Kind::kStatic},   {"SysListView32", Kind::kListView}};
  const std::map<std::string, int> ids = ResourceIds();
  std::istringstream lines(ReadSource("resources/loscan/loscan.rc"));
  std::string line;
  while (std::getline(lines, line) && line.rfind("IDD_LOSCAN_DIALOG DIALOGEX", 0) != 0) {}
  while (std::getline(lines, line) && line != "BEGIN") {}
  std::vector<TemplateControl> controls;
  while (std::getline(lines, line) && line != "END") {
    std::istringstream words(line);
    std::string keyword;
    words >> keyword;
    std::string rest;
    std::getline(words, rest);
    std::vector<std::string> f = Fields(rest);
    // Text statements start with the text; EDITTEXT and COMBOBOX with the id; CONTROL adds
    // the class after the id.
    const bool hasText = keyword != "EDITTEXT" && keyword != "COMBOBOX";
    if (!hasText) f.insert(f.begin(), "");
    TemplateControl control;
    control.id = ids.at(f.at(1));
    control.kind = kinds.at(keyword == "CONTROL" ? f.at(2) : keyword);
    EXPECT_TRUE(platform::Utf8ToCp932(f[0], control.text)) << line;
    control.style = keyword == "CONTROL" ? f.at(3) : (f.size() > 6 ? f[6] : "");
    controls.push_back(control);
  }
  return controls;
}

TEST(LoscanDialog, ModelHasExactlyTheTemplatesControls) {
  platform::DialogUiModel model;
  DescribeLoscanDialog(model);
  const std::vector<TemplateControl> controls = MainDialogTemplate();
  ASSERT_FALSE(controls.empty());
  std::map<int, bool> inTemplate;
  for (const TemplateControl& c : controls) {
    if (c.id == -1) continue;  // IDC_STATIC: decoration the program never addresses
    inTemplate[c.id] = true;
    const platform::DialogUiModel::Control* modelled = model.Find(c.id);
    ASSERT_NE(nullptr, modelled) << c.id;
    EXPECT_EQ(c.kind, modelled->kind) << c.id;
    if (c.kind != platform::DialogUiModel::Kind::kComboBox) {
      EXPECT_EQ(c.text, modelled->text) << c.id;
    }
    EXPECT_EQ(c.style.find("CBS_SORT") != std::string::npos, modelled->sorted) << c.id;
    EXPECT_EQ(c.style.find("NOT WS_VISIBLE") == std::string::npos, modelled->visible) << c.id;
  }
  for (const auto& id : ResourceIds()) {
    if (!inTemplate.count(id.second)) {
      EXPECT_EQ(nullptr, model.Find(id.second)) << id.first;
    }
  }
}

}  // namespace
