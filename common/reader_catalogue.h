// The product data of the 19 Norvell readers both programs serve: model names, USB ids,
// name filters and, per slot, the hardware ids the system records for the slot's disk, the
// slot's label and its function texts. Loscan builds its device catalogue from it; Tavrik's
// reader definitions (the RW_Devices registry tree) are generated from it.
//
// Texts are ANSI in the system code page (cp932 at run time, as every target is built).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kReaderCount = 19;
inline constexpr int kMaxReaderSlots = 5;
inline constexpr int kSlotLabelCount = 16;

// How a reader's slots are looked up: with its name filter, or by slot id alone.
enum class ReaderLookupMode { kPlain = 0, kFiltered = 1 };

// What the second group of a reader's NT ids holds, when it has one.
enum class SecondIdGroup {
  kNone,            // one group: the USB storage ids only
  kTwoPart,         // the controller chip's own storage driver: "NVLSTOR\DISK**000n"
  kDriverSpecific,  // the reader's own driver: "NVDUSBSB\NVDn"
  kDisplayName,     // the vendor display name, as friendly names spell it
};

struct ReaderSlot {
  // NT ids of the slot: [0] the USB storage form, [1] the second group's entry (empty when
  // the reader has one group).
  std::string primaryIds[2];
  // 9x ids of the slot in their default form: [0] the first group, [1] the second (the SCSI
  // twin of an ESDI id; empty when the reader has one group).
  std::string secondaryIds[2];
  // The Windows Me form of secondaryIds[0], for the readers whose 9x ids differ there;
  // empty for the others.
  std::string secondaryIdMe;
  int labelNumber = 0;  // 1..16: which of the dialog's slot labels the slot carries
  std::string label;    // that label's text ("\n" breaks the line)
  std::string driveFunc;   // short function text ("CF/MD"); a shortcut's description
  std::string driveFuncs;  // function label ("コンパクトフラッシュ"); also part of a file name
  std::string iconFile;    // file name of the slot's drive icon, without folder
};

struct ReaderProduct {
  int position = 0;           // 1..19, the catalogue order both programs keep
  std::string modelName;      // as the assignment program's device list shows it
  std::string registryKey;    // the reader's key under Tavrik's RW_Devices
  std::string memo;           // display name kept with Tavrik's definition
  uint16_t vid = 0;
  uint16_t pid = 0;
  std::string primaryFilter;    // fragment of the friendly name (NT family)
  std::string secondaryFilter;  // fragment of the product id (9x family)
  ReaderLookupMode lookupMode = ReaderLookupMode::kFiltered;
  SecondIdGroup secondIdGroup = SecondIdGroup::kNone;
  bool secondaryHasTwoGroups = false;  // ESDI ids first, then their SCSI twins
  int slotCount = 0;
  ReaderSlot slots[kMaxReaderSlots];
};

// The 19 readers in catalogue order (position 1 is element 0).
std::vector<ReaderProduct> ReaderCatalogue();
// ReaderCatalogue()[index].registryKey without building the whole catalogue; empty for an
// index outside 0..kReaderCount-1.
std::string ReaderRegistryKey(int index);

// Text of slot label n (1..16); empty for any other n.
std::string SlotLabelText(int labelNumber);

// The forms the system gives a slot's disk; exposed so fixtures and tools build ids the same
// way the catalogue does. product is the inquiry product text with blanks, e.g. "NVR410U CF".
std::string UsbStorageId(const std::string& vendor, const std::string& product,
                         const std::string& revision);
// "SCSI\" or "ESDI\" + vendor field (8) + product field (16), upper case, blanks as '_'.
std::string NinexHardwareId(const std::string& enumerator, const std::string& vendor,
                            const std::string& product);
