#include "loscan/loscan_dlg.h"

#include <utility>

#include "loscan/device_catalogue.h"
#include "loscan/drive_status.h"
#include "loscan/duplicate_letters.h"
#include "resources/loscan/resource.h"

const int kCurrentLetterIds[kSlotRows] = {IDC_CURRENT1, IDC_CURRENT2, IDC_CURRENT3,
                                          IDC_CURRENT4, IDC_CURRENT5, IDC_CURRENT6};
const int kNewLetterIds[kSlotRows] = {IDC_NEWLETTER1, IDC_NEWLETTER2, IDC_NEWLETTER3,
                                      IDC_NEWLETTER4, IDC_NEWLETTER5, IDC_NEWLETTER6};
const int kSlotLabelIds[kSlotRows] = {IDC_LABEL1, IDC_LABEL2, IDC_LABEL3,
                                      IDC_LABEL4, IDC_LABEL5, IDC_LABEL6};

namespace {

constexpr unsigned kMbOkExclamation = 0x30;  // MB_OK | MB_ICONEXCLAMATION
constexpr uint32_t kWhite = 0x00FFFFFF;      // the bitmaps' transparent colour
constexpr int kImageSize = 16;
constexpr int kDefaultModel = kModelCount - 1;  // the newest reader, selected at start-up

}  // namespace

CLoscanDlg::CLoscanDlg(platform::IRegistry& registry, platform::ISystem& system,
                       platform::IDialogUi& ui, std::string title)
    : m_readSnapshot(registry),
      m_finder(registry, system),
      m_registry(m_readSnapshot),
      m_system(system),
      m_ui(ui),
      m_strTitle(std::move(title)) {}

bool CLoscanDlg::OnInitDialog() {
  BuildCatalogue();
  for (const DeviceModel& model : m_models) m_ui.ComboAddString(IDC_DEVICE, model.strName);

  m_imageList = m_ui.CreateImageList(kImageSize, kImageSize, 1, 1);
  for (int bitmap : kStatusImageBitmaps) m_ui.ImageListAddBitmap(m_imageList, bitmap, kWhite);

  m_ui.ComboSetCurSel(IDC_DEVICE,
                      m_ui.ComboFindString(IDC_DEVICE, -1, m_models[kDefaultModel].strName));

  const int width = m_ui.ClientWidth(IDC_STATUS_LIST);
  m_ui.ListSetSmallImageList(IDC_STATUS_LIST, m_imageList);
  m_ui.ListInsertColumn(IDC_STATUS_LIST, 0, "ドライブ名", 70, 0);
  m_ui.ListInsertColumn(IDC_STATUS_LIST, 1, "機能", width / 2 - 44, 1);
  m_ui.ListInsertColumn(IDC_STATUS_LIST, 2, "機器", width / 2 - 44, 2);

  ApplyModelLayout();
  // Initialisation has just refreshed: only a later change of drives needs another refresh.
  m_dwLastDrives = m_system.GetLogicalDrives();
  return true;
}

void CLoscanDlg::ApplyModelLayout() {
  const int index = SelectedModel();
  for (int row = 0; row < kSlotRows; ++row) {
    m_ui.Show(kNewLetterIds[row], false);
    m_ui.Show(kCurrentLetterIds[row], false);
    m_ui.SetText(kSlotLabelIds[row], std::string());
  }
  if (index >= 0) {
    const DeviceModel& model = m_models[index];
    for (int row = 0; row < model.nSlots && row < kSlotRows; ++row) {
      m_ui.Show(kNewLetterIds[row], true);
      m_ui.Show(kCurrentLetterIds[row], true);
      m_ui.SetText(kSlotLabelIds[row], model.aSlotLabels[row]);
    }
  }
  Refresh();
}

void CLoscanDlg::Refresh() {
  // Each slot id of the model asks about the same disks and records: the finder reads them
  // once for the whole refresh.
  platform::ScopedReadSnapshot snapshot(m_readSnapshot);
  ScopedFinderRefresh lookups(m_finder);
  m_finder.Reset();
  for (int row = 0; row < kSlotRows; ++row) {
    m_ui.ComboResetContent(kNewLetterIds[row]);
    m_ui.SetText(kCurrentLetterIds[row], kNoDrive);
    m_ui.Enable(kNewLetterIds[row], false);
    m_strCurLetter[row].clear();
  }
  m_ui.Enable(IDC_SET, false);

  const int index = SelectedModel();
  if (index >= 0) FindCurrentLetters(index);

  m_nReserved = ReadNetworkReservations();
  m_ui.ListDeleteAllItems(IDC_STATUS_LIST);
  for (char c = 'C'; c <= 'Z'; ++c) {
    const std::string letter(1, c);
    for (int id : kNewLetterIds) m_ui.ComboAddString(id, letter);
    AddStatusRow(letter);
  }

  // The registry may record a letter in lower case; the search ignores case.
  for (int row = 0; row < kSlotRows; ++row) {
    const int item = m_strCurLetter[row].empty()
                         ? -1
                         : m_ui.ComboFindString(kNewLetterIds[row], -1, m_strCurLetter[row]);
    m_ui.ComboSetCurSel(kNewLetterIds[row], item);
  }
}

void CLoscanDlg::CheckDriveChange() {
  if (m_system.GetLogicalDrives() == m_dwLastDrives) return;
  m_ui.Enable(IDC_REFRESH, true);
  Refresh();
  m_dwLastDrives = m_system.GetLogicalDrives();
}

void CLoscanDlg::OnSetClicked() {
  if (!m_ui.IsEnabled(IDC_SET)) return;
  m_finder.Reset();
  std::string letters[kSlotRows];
  for (int row = 0; row < kSlotRows; ++row) letters[row] = m_ui.GetText(kNewLetterIds[row]);

  int first = 0, second = 0;
  if (FindDuplicateLetters(letters, first, second)) {
    ShowMessage(letters[first] + "ドライブと" + letters[second] + "ドライブが重複しています。");
    return;
  }

  for (int id : kNewLetterIds) m_ui.Enable(id, false);
  m_ui.Enable(IDC_SET, false);
  m_ui.Enable(IDC_REFRESH, false);
  const int index = SelectedModel();
  m_finder.ClearWriteFailed();
  if (index >= 0) ApplyAssignment(index, letters);
  // A refused or half-done write is never reported as done: the user would replug the reader
  // and find the old letters, or a slot with two.
  if (m_finder.WriteFailed()) {
    ShowMessage("ドライブを設定できませんでした。レジストリへの書き込みに失敗しました。");
    return;
  }
  ShowMessage("ドライブを設定しました。必ずデバイスを抜き差ししてください。");
}

void CLoscanDlg::ApplyAssignment(int index, const std::string (&letters)[kSlotRows]) {
  if (index < 0 || index >= kModelCount) return;
  const DeviceModel& model = m_models[index];
  const int slots = model.nSlots;
  if (slots == 0) return;
  int written[kSlotRows] = {};
  auto assign = [&](const std::string& slotId, const std::string& filter, int row) {
    const int before = m_finder.WriteCount();
    m_finder.AssignDrive(slotId, letters[row][0], filter);
    written[row] += m_finder.WriteCount() - before;
  };
  m_finder.Reset();
  for (int i = 0; i < model.nPrimaryIds && i < kMaxModelIds; ++i) {
    const int row = (i % slots) % kSlotRows;
    if (letters[row].empty()) continue;
    assign(model.aPrimaryIds[i], model.aPrimaryFilters[0], row);
  }
  for (int i = 0; i < model.nSecondaryIds && i < kMaxModelIds; ++i) {
    m_finder.Reset();
    const int row = (i % slots) % kSlotRows;
    if (letters[row].empty()) continue;
    assign(model.aSecondaryIds[i], model.aSecondaryFilters[0], row);
  }
  // A slot the refresh found with a letter, that got a new one chosen and no record written,
  // was not reached: some list it is found through could not be read.
  for (int row = 0; row < kSlotRows && row < slots; ++row)
    if (!letters[row].empty() && m_ui.GetText(kCurrentLetterIds[row]) != kNoDrive &&
        written[row] == 0)
      m_finder.MarkWriteFailed();
}

void CLoscanDlg::BuildCatalogue() { BuildDeviceCatalogue(m_models, m_finder.m_szOsVersion); }

int CLoscanDlg::FindModel(const std::string& name) const { return FindModelIn(m_models, name); }

void CLoscanDlg::FindCurrentLetters(int index) {
  if (index < 0 || index >= kModelCount) return;
  const DeviceModel& model = m_models[index];
  const int slots = model.nSlots;
  if (slots == 0) return;
  const bool filtered = model.nLookupMode == kLookupFiltered;

  // The primary ids come in groups of one id per slot; each group is looked up afresh, so
  // the drive count below tells whether the last group found anything.
  for (int i = 0; i < model.nPrimaryIds && i < kMaxModelIds; ++i) {
    if (i % slots == 0) m_finder.Reset();
    const int found = filtered ? m_finder.FindNamedDrive(model.aPrimaryIds[i],
                                                         model.aPrimaryFilters[0])
                               : m_finder.FindDrive(model.aPrimaryIds[i]);
    if (found != 0) NoteFoundLetter(i % slots);
  }
  if (m_finder.m_nDriveCount != 0) return;

  m_finder.Reset();
  for (int i = 0; i < model.nSecondaryIds && i < kMaxModelIds; ++i) {
    const int found = filtered ? m_finder.FindNamedDrive(model.aSecondaryIds[i],
                                                         model.aSecondaryFilters[0])
                               : m_finder.FindDrive(model.aSecondaryIds[i]);
    if (found != 0) NoteFoundLetter(i % slots);
  }
}

void CLoscanDlg::NoteFoundLetter(int slot) {
  if (slot >= kSlotRows) return;
  m_ui.Enable(IDC_SET, true);
  m_ui.Enable(kNewLetterIds[slot], true);
  m_ui.SetText(kCurrentLetterIds[slot], m_finder.m_strFoundDrive);
  m_strCurLetter[slot] = m_finder.m_strFoundDrive;
}

int CLoscanDlg::ReadNetworkReservations() {
  return ReadReservedLetters(m_registry, m_finder.m_szOsFamily, m_szReserved);
}

void CLoscanDlg::AddStatusRow(const std::string& letter) {
  if (letter.empty()) return;
  const DriveStatus status = ClassifyDrive(m_system.QueryDriveType((letter + ":\\").c_str()),
                                           letter[0], m_szReserved, m_nReserved);
  if (!status.hasRow) return;

  if (status.removeFromChoices) {
    for (int id : kNewLetterIds) {
      const int item = m_ui.ComboFindString(id, -1, letter);
      if (item >= 0) m_ui.ComboDeleteString(id, item);
    }
  }

  const int item = m_ui.ListGetItemCount(IDC_STATUS_LIST);
  m_ui.ListInsertItem(IDC_STATUS_LIST, item, letter, status.image);
  m_ui.ListSetItemText(IDC_STATUS_LIST, item, 1, status.kind);

  // A removable drive that is one of the selected reader's slots is marked with its model.
  if (status.image != kImageRemovable) return;
  const std::string modelName = m_ui.GetText(IDC_DEVICE);
  const int index = FindModel(modelName);
  if (index < 0) return;
  for (int slot = 0; slot < m_models[index].nSlots && slot < kSlotRows; ++slot)
    if (m_ui.GetText(kCurrentLetterIds[slot]) == letter)
      m_ui.ListSetItemText(IDC_STATUS_LIST, item, 2, modelName);
}

int CLoscanDlg::SelectedModel() { return FindModel(m_ui.GetText(IDC_DEVICE)); }

void CLoscanDlg::ShowMessage(const std::string& text) {
  m_ui.MessageBox(text, m_strTitle, kMbOkExclamation);
}
