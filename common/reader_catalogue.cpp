#include "common/reader_catalogue.h"

#include <cstdio>

#include "platform/text/mbcs_text.h"

namespace {

constexpr const char kVendor[] = "Norvell";
constexpr uint16_t kNorvellVid = 0x3A7E;

// One kind of slot: its label, the tail of its disks' product text, and Tavrik's texts.
struct SlotKind {
  const char* productTail;
  const char* driveFunc;
  const char* driveFuncs;
  const char* iconFile;
};

// Indexed by label number - 1; the label texts are the dialog's own.
struct LabelRow {
  const char* text;
  SlotKind kind;
};
constexpr LabelRow kLabels[kSlotLabelCount] = {
    {"コンパクトフラッシュ\n/マイクロドライブ",
     {"CF", "CF/MD", "コンパクトフラッシュ", "cf.ico"}},
    {"メモリースティック", {"MS", "MS", "メモリースティック", "ms.ico"}},
    {"スマートメディア", {"SM", "SM", "スマートメディア", "sm.ico"}},
    {"ＳＤメモリーカード\n/マルチメディアカード",
     {"SD", "SD/MMC", "SDメモリーカード", "sd.ico"}},
    {"メモリースティック\n/メモリースティック ＰＲＯ",
     {"MS", "MS/MS PRO", "メモリースティック", "ms.ico"}},
    {"メモリースティック Ｄｕｏ", {"MSDUO", "MS Duo", "メモリースティックDuo", "msduo.ico"}},
    {"ｘＤ-ピクチャーカード", {"XD", "xD", "xD-ピクチャーカード", "xd.ico"}},
    {"ｍｉｎｉＳＤカード", {"MINISD", "miniSD", "miniSDカード", "minisd.ico"}},
    {"スマートメディア\n/ｘＤ-ピクチャーカード",
     {"SMXD", "SM/xD", "スマートメディア・xD", "smxd.ico"}},
    {"メモリースティック\n/メモリースティック Ｄｕｏ",
     {"MS", "MS/MS Duo", "メモリースティック", "ms.ico"}},
    {"ＳＤメモリーカード\n/miniＳＤカード", {"SD", "SD/miniSD", "SDメモリーカード", "sd.ico"}},
    {"SD / MMC / Memory Stick\n/ xD / SmartMedia",
     {"MULTI", "SD/MMC/MS/xD/SM", "マルチカード", "multi.ico"}},
    {"SDHC / Memory Stick\n/ xD / SmartMedia",
     {"MULTI", "SDHC/MS/xD/SM", "マルチカード", "multi.ico"}},
    {"SD / SDHC / miniSD", {"SD", "SD/SDHC/miniSD", "SDメモリーカード", "sd.ico"}},
    {"xD / Memory Stick Pro", {"XDMS", "xD/MS PRO", "xD・メモリースティック", "xdms.ico"}},
    {"micro ＳＤメモリーカード", {"MICROSD", "microSD", "microSDカード", "microsd.ico"}},
};

// How a reader's 9x ids are formed.
enum class NinexForm {
  kScsi,             // SCSI\ + vendor field + product field
  kEsdiThenScsi,     // the same twice: first under ESDI\, then under SCSI\ (two groups)
  kScsiInstance,     // SCSI\ ... \USBSTOR&DISK&0000USB&VID_xxxx&PID_yyyy
  kEsdiInstance,     // ESDI\ ... \NVUSBSBI&DISK&0000USB&VID_xxxx&PID_yyyy
  kGenericLiteral,   // the generic reader's own id
};

struct ReaderRow {
  const char* modelName;
  const char* code;  // model code: registry key, product prefix and name filter
  uint16_t pid;
  const char* revision;  // "" when the NT ids carry no revision
  ReaderLookupMode mode;
  SecondIdGroup second;
  NinexForm ninex;
  int slotCount;
  int labels[kMaxReaderSlots];
};

constexpr ReaderLookupMode F = ReaderLookupMode::kFiltered;
constexpr ReaderLookupMode P = ReaderLookupMode::kPlain;
constexpr SecondIdGroup kNone = SecondIdGroup::kNone;
constexpr SecondIdGroup kTwo = SecondIdGroup::kTwoPart;
constexpr SecondIdGroup kDrv = SecondIdGroup::kDriverSpecific;
constexpr SecondIdGroup kDisp = SecondIdGroup::kDisplayName;

// Model codes all have seven characters, so no reader's name filter is part of another's.
constexpr ReaderRow kReaders[kReaderCount] = {
    {"NVR-410U", "NVR410U", 0x0410, "", F, kTwo, NinexForm::kScsi, 4, {1, 2, 3, 4}},
    {"NVR-420U", "NVR420U", 0x0420, "", F, kTwo, NinexForm::kScsi, 4, {1, 5, 3, 4}},
    {"NVR-330D", "NVR330D", 0x0330, "", F, kTwo, NinexForm::kScsi, 3, {6, 7, 8}},
    {"NVR-220D", "NVR220D", 0x0220, "", F, kTwo, NinexForm::kScsi, 2, {6, 8}},
    {"NVR-221D", "NVR221D", 0x0221, "", P, kDrv, NinexForm::kEsdiThenScsi, 2, {6, 8}},
    {"NVR-110M", "NVR110M", 0x0110, "", P, kNone, NinexForm::kScsi, 1, {8}},
    {"NVR-430U", "NVR430U", 0x0430, "", F, kTwo, NinexForm::kScsi, 4, {1, 5, 9, 4}},
    {"USB Storage Device", "GENERIC", 0x0800, "", F, kNone, NinexForm::kGenericLiteral, 1, {1}},
    {"NVR-111S", "NVR111S", 0x0111, "", F, kNone, NinexForm::kScsi, 1, {10}},
    {"NVR-112S", "NVR112S", 0x0112, "", F, kNone, NinexForm::kScsi, 1, {11}},
    {"NVR-113S", "NVR113S", 0x0113, "", F, kNone, NinexForm::kScsi, 1, {7}},
    {"NVR-230C", "NVR230C", 0x0230, "", F, kTwo, NinexForm::kScsi, 2, {1, 12}},
    {"NVR-540R", "NVR540R", 0x0540, "1.10", F, kDisp, NinexForm::kScsiInstance, 4, {1, 9, 4, 5}},
    {"NVR-231C", "NVR231C", 0x0231, "", F, kDisp, NinexForm::kScsi, 2, {1, 12}},
    {"NVR-232H", "NVR232H", 0x0232, "", F, kDisp, NinexForm::kScsi, 2, {1, 13}},
    {"NVR-233H", "NVR233H", 0x0233, "", F, kDisp, NinexForm::kScsi, 2, {14, 15}},
    {"NVR-550R", "NVR550R", 0x0550, "1.20", F, kDisp, NinexForm::kEsdiInstance, 5,
     {1, 4, 5, 9, 16}},
    {"NVR-540S", "NVR540S", 0x0541, "2.10", F, kDisp, NinexForm::kScsiInstance, 4, {1, 9, 4, 5}},
    {"NVR-550S", "NVR550S", 0x0551, "2.20", F, kDisp, NinexForm::kEsdiInstance, 5,
     {1, 4, 5, 9, 16}},
};

// The generic reader is not Norvell's own: its ids and filter are those its chip reports.
constexpr const char kGenericPrimaryId[] = "USBSTOR\\Disk&Ven_Generic&Prod_STORAGE_DEVICE";
constexpr const char kGenericSecondaryId[] = "SCSI\\GENERIC_STORAGE_DEVICE__1";
constexpr const char kGenericFilter[] = "STORAGE";

std::string Blanks(std::string text, char with) {
  for (char& c : text)
    if (c == ' ') c = with;
  return text;
}

// A fixed-width inquiry field as 9x writes it: blanks and padding as '_'.
std::string Field(const std::string& text, size_t width) {
  std::string field = Blanks(MbcsUpper(text), '_');
  if (field.size() < width) field.append(width - field.size(), '_');
  return field;
}

std::string Hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
  return text;
}

std::string InstanceSuffix(const char* driver, uint16_t pid) {
  return std::string("\\") + driver + "&DISK&0000USB&VID_" + Hex4(kNorvellVid) + "&PID_" +
         Hex4(pid);
}

// Windows Me names the instance after the USB storage id instead of the USB ids.
std::string MeInstanceSuffix(const std::string& product, const std::string& revision) {
  return "\\USBSTOR&DISK&VEN_" + MbcsUpper(kVendor) + "&PROD_" + Blanks(MbcsUpper(product), '_') +
         "&REV_" + MbcsUpper(revision);
}

std::string SecondPrimaryId(const ReaderRow& row, int slot, const std::string& product) {
  char text[32];
  switch (row.second) {
    case SecondIdGroup::kTwoPart:
      std::snprintf(text, sizeof text, "NVLSTOR\\DISK**%04d", slot);
      return text;
    case SecondIdGroup::kDriverSpecific:
      std::snprintf(text, sizeof text, "NVDUSBSB\\NVD%d", slot);
      return text;
    case SecondIdGroup::kDisplayName:
      return std::string(kVendor) + " " + product;
    case SecondIdGroup::kNone:
      break;
  }
  return std::string();
}

ReaderProduct Expand(int index) {
  const ReaderRow& row = kReaders[index];
  const bool generic = row.ninex == NinexForm::kGenericLiteral;
  ReaderProduct reader;
  reader.position = index + 1;
  reader.modelName = row.modelName;
  reader.registryKey = row.code;
  reader.memo = generic ? std::string("USB Storage Device")
                        : std::string(kVendor) + " " + row.modelName + " USB Card Reader";
  reader.vid = kNorvellVid;
  reader.pid = row.pid;
  reader.primaryFilter = generic ? kGenericFilter : row.code;
  reader.secondaryFilter = generic ? kGenericFilter : row.code;
  reader.lookupMode = row.mode;
  reader.secondIdGroup = row.second;
  reader.secondaryHasTwoGroups = row.ninex == NinexForm::kEsdiThenScsi;
  reader.slotCount = row.slotCount;
  for (int s = 0; s < row.slotCount; ++s) {
    const LabelRow& label = kLabels[row.labels[s] - 1];
    ReaderSlot& slot = reader.slots[s];
    slot.labelNumber = row.labels[s];
    slot.label = label.text;
    slot.driveFunc = label.kind.driveFunc;
    slot.driveFuncs = label.kind.driveFuncs;
    slot.iconFile = label.kind.iconFile;
    if (generic) {
      slot.primaryIds[0] = kGenericPrimaryId;
      slot.secondaryIds[0] = kGenericSecondaryId;
      continue;
    }
    const std::string product = std::string(row.code) + " " + label.kind.productTail;
    slot.primaryIds[0] = UsbStorageId(kVendor, product, row.revision);
    slot.primaryIds[1] = SecondPrimaryId(row, s, product);
    switch (row.ninex) {
      case NinexForm::kScsi:
        slot.secondaryIds[0] = NinexHardwareId("SCSI", kVendor, product);
        break;
      case NinexForm::kEsdiThenScsi:
        slot.secondaryIds[0] = NinexHardwareId("ESDI", kVendor, product);
        slot.secondaryIds[1] = NinexHardwareId("SCSI", kVendor, product);
        break;
      case NinexForm::kScsiInstance:
        slot.secondaryIds[0] =
            NinexHardwareId("SCSI", kVendor, product) + InstanceSuffix("USBSTOR", row.pid);
        slot.secondaryIdMe =
            NinexHardwareId("SCSI", kVendor, product) + MeInstanceSuffix(product, row.revision);
        break;
      case NinexForm::kEsdiInstance:
        slot.secondaryIds[0] =
            NinexHardwareId("ESDI", kVendor, product) + InstanceSuffix("NVUSBSBI", row.pid);
        slot.secondaryIdMe =
            NinexHardwareId("SCSI", kVendor, product) + MeInstanceSuffix(product, row.revision);
        break;
      case NinexForm::kGenericLiteral:
        break;
    }
  }
  return reader;
}

}  // namespace

std::string UsbStorageId(const std::string& vendor, const std::string& product,
                         const std::string& revision) {
  std::string id = "USBSTOR\\Disk&Ven_" + Blanks(vendor, '_') + "&Prod_" + Blanks(product, '_');
  if (!revision.empty()) id += "&Rev_" + revision;
  return id;
}

std::string NinexHardwareId(const std::string& enumerator, const std::string& vendor,
                            const std::string& product) {
  return MbcsUpper(enumerator) + "\\" + Field(vendor, 8) + Field(product, 16);
}

std::string SlotLabelText(int labelNumber) {
  if (labelNumber < 1 || labelNumber > kSlotLabelCount) return std::string();
  return kLabels[labelNumber - 1].text;
}

std::vector<ReaderProduct> ReaderCatalogue() {
  std::vector<ReaderProduct> readers;
  readers.reserve(kReaderCount);
  for (int i = 0; i < kReaderCount; ++i) readers.push_back(Expand(i));
  return readers;
}

std::string ReaderRegistryKey(int index) {
  if (index < 0 || index >= kReaderCount) return std::string();
  return kReaders[index].code;
}
