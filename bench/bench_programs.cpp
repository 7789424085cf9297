#include "bench/bench_programs.h"

#include "bench/bench_system.h"
#include "bench/usb_history_image.h"
#include "common/os_tags.h"
#include "common/reader_catalogue.h"
#include "common/slot_drive_assigner.h"
#include "fake_machine/ejector_twins.h"
#include "loscan/loscan_dialog_layout.h"
#include "loscan/loscan_dlg.h"
#include "platform/twin/twin_dialog_ui.h"
#include "resources/loscan/resource.h"
#include "tavrik/ejector_dlg.h"

namespace {

// The tray click: a refresh that probes every slot's medium, over all 19 definitions.
class TavrikRefresh : public BenchProgram {
 public:
  TavrikRefresh(const char* osTag, platform::IRegistry& registry, platform::ISystem& text)
      : m_system(text, osTag) {
    m_twins.InstallTavrik();
    m_dlg = std::make_unique<CEjectorDlg>(m_twins.Seams(registry, m_system), "Tavrik");
    m_dlg->AttachWindow(0x1234);
  }
  bool Start(std::string& error) {
    if (m_dlg->LoadDefinitions() != 0 || m_dlg->DeviceNum() != kReaderCount) {
      error = "the reader definitions are not in the registry";
      return false;
    }
    m_dlg->OnCreate();
    return true;
  }
  void Run() override {
    m_dlg->RefreshSlots(true);
    m_twins.shell.calls.clear();  // the twin logs every call; keep the log from growing
  }
  int SlotsFound() const override {
    int found = 0;
    for (int cell = 0; cell < kCellCount; ++cell) found += m_dlg->Slots().Found(cell) == 1 ? 1 : 0;
    return found;
  }

 private:
  BenchSystem m_system;
  fake::EjectorTwins m_twins;
  std::unique_ptr<CEjectorDlg> m_dlg;
};

// Loscan with the five-slot reader selected: every refresh after a drive change.
class LoscanRefresh : public BenchProgram {
 public:
  LoscanRefresh(const char* osTag, platform::IRegistry& registry, platform::ISystem& text)
      : m_system(text, osTag) {
    DescribeLoscanDialog(m_ui);
    m_dlg = std::make_unique<CLoscanDlg>(registry, m_system, m_ui, "Loscan");
  }
  bool Start(std::string& error) {
    m_dlg->OnInitDialog();
    const std::string model = ReaderCatalogue()[kConnectedFiveSlotReader].modelName;
    const int item = m_ui.ComboFindString(IDC_DEVICE, -1, model);
    if (item < 0) {
      error = "no model " + model + " in the device list";
      return false;
    }
    m_ui.ComboSetCurSel(IDC_DEVICE, item);
    m_dlg->ApplyModelLayout();
    return true;
  }
  void Run() override { m_dlg->Refresh(); }
  int SlotsFound() const override {
    int found = 0;
    for (const std::string& letter : m_dlg->m_strCurLetter) found += letter.empty() ? 0 : 1;
    return found;
  }

 private:
  BenchSystem m_system;
  platform::DialogUiModel m_ui;
  std::unique_ptr<CLoscanDlg> m_dlg;
};

// The first slot of the five-slot reader moved to X: (a letter another device had), on the
// registry itself, as Loscan's finder writes it.
class AssignOne : public BenchProgram {
 public:
  AssignOne(const char* osTag, platform::IRegistry& registry, platform::ISystem& text)
      : m_system(text, osTag), m_finder(registry, m_system) {
    const ReaderProduct reader = ReaderCatalogue()[kConnectedFiveSlotReader];
    const bool ninex = std::string(m_finder.m_szOsFamily) == kOsWin9x;
    m_slotId = ninex ? reader.slots[0].secondaryIds[0] : reader.slots[0].primaryIds[0];
    m_filter = ninex ? reader.secondaryFilter : reader.primaryFilter;
  }
  void Run() override { m_finder.AssignDrive(m_slotId, 'X', m_filter); }

 private:
  BenchSystem m_system;
  CSlotDriveAssigner m_finder;
  std::string m_slotId;
  std::string m_filter;
};

}  // namespace

std::unique_ptr<BenchProgram> MakeBenchProgram(BenchWork work, const char* osTag,
                                               platform::IRegistry& registry,
                                               platform::ISystem& text, std::string& error) {
  switch (work) {
    case BenchWork::kTavrikRefresh: {
      auto program = std::make_unique<TavrikRefresh>(osTag, registry, text);
      if (!program->Start(error)) return nullptr;
      return program;
    }
    case BenchWork::kLoscanRefresh: {
      auto program = std::make_unique<LoscanRefresh>(osTag, registry, text);
      if (!program->Start(error)) return nullptr;
      return program;
    }
    case BenchWork::kAssignDrive:
      return std::make_unique<AssignOne>(osTag, registry, text);
  }
  error = "unknown work";
  return nullptr;
}

const char* BenchWorkName(BenchWork work) {
  switch (work) {
    case BenchWork::kTavrikRefresh:
      return "Tavrik RefreshSlots";
    case BenchWork::kLoscanRefresh:
      return "Loscan Refresh";
    case BenchWork::kAssignDrive:
      return "AssignDrive";
  }
  return "?";
}
