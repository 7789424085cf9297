#include "bench/usb_history_image.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "common/reader_catalogue.h"
#include "platform/registry_tree.h"
#include "platform/scoped_reg_key.h"

using platform::kErrorSuccess;
using platform::kHkeyDynData;
using platform::kHkeyLocalMachine;
using platform::RegKey;

namespace {

constexpr char kMountedDevices[] = "System\\MountedDevices";
constexpr char kDiskEnum[] = "System\\CurrentControlSet\\Services\\Disk\\Enum";
constexpr char kDeviceEnum[] = "System\\CurrentControlSet\\Enum\\";
constexpr char kConfigManagerEnum[] = "Config Manager\\Enum";
constexpr char kVolumeClass[] = "{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
constexpr char kDiskClass[] = "{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
constexpr uint32_t kHistoricDevices = 150;

using Bytes = std::vector<uint8_t>;

// xorshift32: the same image for the same seed on every platform.
class Rng {
 public:
  explicit Rng(uint32_t seed) : m_state(seed != 0 ? seed : 1) {}
  uint32_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
  }
  uint32_t Below(uint32_t bound) { return Next() % bound; }

 private:
  uint32_t m_state;
};

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*x", digits, static_cast<unsigned>(value));
  return text;
}

std::string GuidText(Rng& rng) {
  return "{" + Hex(rng.Next(), 8) + "-" + Hex(rng.Next() & 0xFFFF, 4) + "-" +
         Hex(rng.Next() & 0xFFFF, 4) + "-" + Hex(rng.Next() & 0xFFFF, 4) + "-" +
         Hex(rng.Next() & 0xFFFF, 4) + Hex(rng.Next(), 8) + "}";
}

Bytes Utf16(const std::string& ascii) {
  Bytes data;
  for (char c : ascii) {
    data.push_back(static_cast<uint8_t>(c));
    data.push_back(0);
  }
  return data;
}

Bytes Text(const std::string& text) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

Bytes Dword(uint32_t value) {
  return Bytes{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
               static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

Bytes MultiText(const std::vector<std::string>& texts) {
  Bytes data;
  for (const std::string& text : texts) {
    data.insert(data.end(), text.begin(), text.end());
    data.push_back(0);
  }
  data.push_back(0);
  return data;
}

// An MBR volume: disk signature and the partition's byte offset.
Bytes MbrRecord(Rng& rng) {
  Bytes data = Dword(rng.Next());
  const uint64_t offset = (uint64_t{rng.Below(4096)} + 63) * 512;
  for (int i = 0; i < 8; ++i) data.push_back(static_cast<uint8_t>(offset >> (8 * i)));
  return data;
}

// A GPT or dynamic-disk volume: "DMIO:ID:" and the partition's GUID.
Bytes DmioRecord(Rng& rng) {
  const std::string head = "DMIO:ID:";
  Bytes data(head.begin(), head.end());
  for (int i = 0; i < 4; ++i) {
    Bytes word = Dword(rng.Next());
    data.insert(data.end(), word.begin(), word.end());
  }
  return data;
}

// Keeps one key open for a run of writes and remembers the first failure.
class ImageKey {
 public:
  ImageKey(platform::IRegistry& registry, RegKey root, const std::string& path, long& status)
      : m_registry(registry), m_key(registry), m_status(status) {
    long rc = m_key.Create(root, path.c_str(), platform::kKeyAllAccess);
    if (rc != kErrorSuccess && m_status == kErrorSuccess) m_status = rc;
  }
  void Set(const std::string& name, uint32_t type, const Bytes& data) {
    if (!m_key.IsOpen()) return;
    long rc = m_registry.SetValue(m_key.Get(), name.c_str(), type, data.data(),
                                  static_cast<uint32_t>(data.size()));
    if (rc != kErrorSuccess && m_status == kErrorSuccess) m_status = rc;
  }
  void SetText(const std::string& name, const std::string& text) {
    Set(name, platform::kRegSz, Text(text));
  }

 private:
  platform::IRegistry& m_registry;
  platform::ScopedRegKey m_key;
  long& m_status;
};

// A USB disk as the NT family lists it.
struct NtDisk {
  std::string instanceId;
  std::string friendlyName;
  std::string parentIdPrefix;
};

std::string XpRecordText(const std::string& prefix) {
  return "\\??\\STORAGE#RemovableMedia#" + prefix + "&RM#" + kVolumeClass;
}

std::string VistaRecordText(const std::string& instanceId) {
  std::string record = "_??_" + instanceId + "#" + kDiskClass;
  for (char& c : record)
    if (c == '\\') c = '#';
  return record;
}

std::string RecordText(const NtDisk& disk, MountRecordStyle style) {
  return style == MountRecordStyle::kXp ? XpRecordText(disk.parentIdPrefix)
                                        : VistaRecordText(disk.instanceId);
}

// Makers of the other USB sticks the machine has seen.
constexpr const char* kOtherVendors[] = {"Brisa", "Kelmet",  "Orvane", "Tessel",
                                         "Valdo", "Quintar", "Marrow", "Ilex"};
constexpr const char* kOtherProducts[] = {"Flash_Disk", "USB_Drive", "Pocket_Stick", "Mini_Flash",
                                          "Card_Reader"};

NtDisk OtherUsbDisk(uint32_t i) {
  NtDisk disk;
  const std::string vendor = kOtherVendors[i % 8];
  const std::string product = kOtherProducts[(i / 8) % 5];
  disk.instanceId = "USBSTOR\\Disk&Ven_" + vendor + "&Prod_" + product + "&Rev_" +
                    std::to_string(1 + i % 3) + ".00\\" + Hex(0x0A100000u + i * 7919u, 8) + "&0";
  disk.friendlyName = vendor + " " + product + " USB Device";
  disk.parentIdPrefix = "7&" + Hex(0x1c000000u + i * 104729u, 7) + "&0";
  return disk;
}

NtDisk ReaderSlotDisk(const ReaderProduct& reader, int slot, uint32_t serial) {
  NtDisk disk;
  std::string id = reader.slots[slot].primaryIds[0];
  if (id.find("&Rev_") == std::string::npos) id += "&Rev_1.00";
  disk.instanceId = id + "\\" + Hex(0x4E560000u + serial, 8) + "&" + std::to_string(slot);
  std::string product = reader.registryKey + " " + reader.slots[slot].driveFunc;
  disk.friendlyName = "Norvell " + product + " USB Device";
  disk.parentIdPrefix =
      "7&" + Hex(0x2e400000u + serial * 31u + static_cast<uint32_t>(slot), 7) + "&0";
  return disk;
}

void WriteNtDeviceKey(platform::IRegistry& registry, const NtDisk& disk, bool usb, long& status) {
  ImageKey key(registry, kHkeyLocalMachine, kDeviceEnum + disk.instanceId, status);
  key.SetText("DeviceDesc", "Disk drive");
  key.Set("Capabilities", platform::kRegDword, Dword(usb ? 0x10 : 0x00));
  key.Set("HardwareID", platform::kRegMultiSz,
          MultiText({disk.instanceId.substr(0, disk.instanceId.find('\\', 8)), "GenDisk"}));
  key.Set("CompatibleIDs", platform::kRegMultiSz, MultiText({"USBSTOR\\Disk", "USBSTOR\\RAW"}));
  key.SetText("ClassGUID", "{4D36E967-E325-11CE-BFC1-08002BE10318}");
  key.SetText("Class", "DiskDrive");
  key.SetText("Driver", "{4D36E967-E325-11CE-BFC1-08002BE10318}\\0001");
  key.SetText("Mfg", "(Standard disk drives)");
  key.SetText("Service", "disk");
  key.Set("ConfigFlags", platform::kRegDword, Dword(0));
  key.SetText("FriendlyName", disk.friendlyName);
  if (usb) key.SetText("ParentIdPrefix", disk.parentIdPrefix);
}

struct MountValue {
  std::string name;
  Bytes data;
};

// A 9x devnode: its key below HKLM "Enum\" and what that key holds.
struct Devnode {
  std::string hardwareKey;
  std::string deviceClass;
  std::string description;
  std::string productId;  // disks only
  char letter = 0;        // disks with a letter
};

Devnode SystemDevnode(uint32_t i) {
  Devnode node;
  switch (i % 5) {
    case 0:
      node.hardwareKey = "ROOT\\*PNP" + Hex(0x0C00 + i, 4) + "\\" + Hex(i, 4);
      node.deviceClass = "System";
      node.description = "System board extension";
      break;
    case 1:
      node.hardwareKey =
          "PCI\\VEN_8086&DEV_" + Hex(0x7000 + i, 4) + "\\BUS_00&DEV_" + Hex(i % 32, 2) + "&FUNC_00";
      node.deviceClass = "System";
      node.description = "PCI bridge";
      break;
    case 2:
      node.hardwareKey = "USB\\VID_" + Hex(0x1000 + i, 4) + "&PID_" + Hex(0x2000 + i, 4) + "\\" +
                         std::to_string(i);
      node.deviceClass = "USB";
      node.description = "USB composite device";
      break;
    case 3:
      node.hardwareKey = "BIOS\\*PNP" + Hex(0x0500 + i, 4) + "\\" + Hex(i, 4);
      node.deviceClass = "Ports";
      node.description = "Communications port";
      break;
    default:
      node.hardwareKey = "MONITOR\\DEFAULT_MONITOR\\" + Hex(0x1000 + i, 4) + "&" + Hex(i, 4);
      node.deviceClass = "Monitor";
      node.description = "Plug and Play monitor";
      break;
  }
  return node;
}

long WriteNinexTrees(platform::IRegistry& registry, const std::vector<Devnode>& nodes,
                     long& status) {
  ImageKey configManager(registry, kHkeyDynData, kConfigManagerEnum, status);
  for (size_t i = 0; i < nodes.size(); ++i) {
    const Devnode& node = nodes[i];
    // Devnode names are the configuration manager's handles: hexadecimal addresses.
    ImageKey dyn(registry, kHkeyDynData,
                 std::string(kConfigManagerEnum) + "\\C29A" + Hex(0x2D50 + 0x38 * i, 4), status);
    dyn.SetText("HardWareKey", node.hardwareKey);
    dyn.Set("Problem", platform::kRegBinary, Dword(0));
    dyn.Set("Status", platform::kRegBinary, Dword(0x0180600A));
    dyn.Set("Allocation", platform::kRegBinary, Bytes(16, 0));
    ImageKey device(registry, kHkeyLocalMachine, "Enum\\" + node.hardwareKey, status);
    device.SetText("Class", node.deviceClass);
    device.SetText("DeviceDesc", node.description);
    device.SetText("HardwareID", node.hardwareKey.substr(0, node.hardwareKey.rfind('\\')));
    device.SetText("Mfg", "(Standard system devices)");
    device.SetText("Driver", node.deviceClass + "\\" + Hex(static_cast<uint32_t>(i), 4));
    device.Set("ConfigFlags", platform::kRegBinary, Dword(0));
    if (!node.productId.empty()) {
      device.SetText("ProductId", node.productId);
      device.SetText("Manufacturer", "NORVELL");
      device.Set("Removable", platform::kRegBinary, Bytes{1});
    }
    if (node.letter != 0)
      device.SetText("CurrentDriveLetterAssignment", std::string(1, node.letter));
  }
  return status;
}

}  // namespace

long WriteUsbHistoryImage(platform::IRegistry& registry, const UsbHistoryOptions& options,
                          std::vector<ConnectedSlot>* slots) {
  long status = kErrorSuccess;
  Rng rng(options.seed);
  const std::vector<ReaderProduct> catalogue = ReaderCatalogue();

  // The two connected readers, E: onwards.
  std::vector<std::pair<ConnectedSlot, NtDisk>> connected;
  char letter = 'E';
  for (int index : {kConnectedFourSlotReader, kConnectedFiveSlotReader}) {
    const ReaderProduct& reader = catalogue[static_cast<size_t>(index)];
    for (int s = 0; s < reader.slotCount; ++s) {
      ConnectedSlot slot;
      slot.reader = index;
      slot.slot = s;
      slot.letter = letter++;
      NtDisk disk = ReaderSlotDisk(reader, s, static_cast<uint32_t>(index * 16 + 1));
      slot.instanceId = disk.instanceId;
      std::string hardwareKey = reader.slots[s].secondaryIds[0];
      // A hardware key is enumerator\device\instance; the instance forms carry their own.
      if (std::count(hardwareKey.begin(), hardwareKey.end(), '\\') < 2)
        hardwareKey += "\\NVUSB&DISK&000" + std::to_string(s);
      slot.hardwareKey9x = hardwareKey;
      connected.emplace_back(slot, disk);
    }
  }
  if (slots != nullptr) {
    slots->clear();
    for (const auto& entry : connected) slots->push_back(entry.first);
  }

  // Present disks: two fixed disks, the reader slots among other USB disks.
  std::vector<std::pair<NtDisk, bool>> present;
  present.push_back({{"IDE\\DiskBRISA_HD160GX_____________________1.02____\\5&1a2b3c4d&0&0.0.0",
                      "BRISA HD160GX", ""},
                     false});
  present.push_back({{"IDE\\DiskBRISA_HD320GX_____________________1.02____\\5&1a2b3c4d&0&0.1.0",
                      "BRISA HD320GX", ""},
                     false});
  for (uint32_t i = 0; present.size() + connected.size() < kPresentDisks; ++i)
    present.push_back({OtherUsbDisk(i), true});
  std::vector<std::pair<NtDisk, bool>> disks(present.begin(), present.begin() + 20);
  for (const auto& entry : connected) disks.push_back({entry.second, true});
  disks.insert(disks.end(), present.begin() + 20, present.end());
  {
    ImageKey diskEnum(registry, kHkeyLocalMachine, kDiskEnum, status);
    for (size_t i = 0; i < disks.size(); ++i) {
      diskEnum.SetText(std::to_string(i), disks[i].first.instanceId);
      if (i == 0) {
        diskEnum.Set("Count", platform::kRegDword, Dword(kPresentDisks));
        diskEnum.Set("NextInstance", platform::kRegDword, Dword(kPresentDisks));
      }
    }
  }
  for (const auto& disk : disks) WriteNtDeviceKey(registry, disk.first, disk.second, status);

  // Devices seen once and gone: their keys and mount records stay behind.
  std::vector<NtDisk> historic;
  for (uint32_t i = 0; i < kHistoricDevices; ++i) {
    historic.push_back(OtherUsbDisk(1000 + i));
    WriteNtDeviceKey(registry, historic.back(), true, status);
  }

  // One "\DosDevices\X:" record for every letter.
  std::vector<MountValue> letters;
  auto dosDevice = [](char x) { return std::string("\\DosDevices\\") + x + ":"; };
  letters.push_back(
      {dosDevice('A'),
       Utf16(std::string("\\??\\FDC#GENERIC_FLOPPY_DRIVE#6&2b3f4e1&0&0#") + kVolumeClass)});
  letters.push_back({dosDevice('B'), Utf16(RecordText(historic[0], options.style))});
  letters.push_back({dosDevice('C'), MbrRecord(rng)});
  letters.push_back({dosDevice('D'),
                     Utf16(std::string("\\??\\IDE#CdRomBRISA_DVD-RW_DR4000________________1.00____#"
                                       "5&2f1e3d&0&1.0.0#") +
                           kVolumeClass)});
  for (const auto& entry : connected)
    letters.push_back(
        {dosDevice(entry.first.letter), Utf16(RecordText(entry.second, options.style))});
  for (char x = static_cast<char>('E' + connected.size()); x <= 'Z'; ++x) {
    const uint32_t kind = static_cast<uint32_t>(x - 'A') % 4;
    if (kind == 0) {
      letters.push_back({dosDevice(x), MbrRecord(rng)});
    } else if (kind == 1) {
      letters.push_back({dosDevice(x), DmioRecord(rng)});
    } else {
      letters.push_back(
          {dosDevice(x), Utf16(RecordText(historic[static_cast<size_t>(x - 'A')], options.style))});
    }
  }

  // Volume records fill the rest, in the three data forms; the connected volumes among them.
  const uint32_t total = options.mountValues > letters.size() + connected.size()
                             ? options.mountValues
                             : static_cast<uint32_t>(letters.size() + connected.size());
  std::vector<MountValue> values;
  for (const auto& entry : connected)
    values.push_back(
        {"\\??\\Volume" + GuidText(rng), Utf16(RecordText(entry.second, options.style))});
  for (uint32_t i = 0; values.size() + letters.size() < total; ++i) {
    MountValue value{"\\??\\Volume" + GuidText(rng), {}};
    switch (i % 3) {
      case 0:
        value.data = MbrRecord(rng);
        break;
      case 1:
        value.data = DmioRecord(rng);
        break;
      default:
        value.data = Utf16(RecordText(historic[i % historic.size()], options.style));
        break;
    }
    values.push_back(std::move(value));
  }
  // Windows adds a letter's record when the volume first arrives: spread them out.
  for (MountValue& letterValue : letters) {
    const size_t at = rng.Below(static_cast<uint32_t>(values.size() + 1));
    values.insert(values.begin() + static_cast<std::ptrdiff_t>(at), std::move(letterValue));
  }
  {
    ImageKey mounts(registry, kHkeyLocalMachine, kMountedDevices, status);
    for (const MountValue& value : values) mounts.Set(value.name, platform::kRegBinary, value.data);
  }

  // The 9x family: the configuration manager's devnodes, the reader slots among them.
  std::vector<Devnode> nodes;
  for (uint32_t i = 0; nodes.size() < kDevnodes9x; ++i) {
    if (i == 150) {
      for (const auto& entry : connected) {
        const ReaderProduct& reader = catalogue[static_cast<size_t>(entry.first.reader)];
        Devnode node;
        node.hardwareKey = entry.first.hardwareKey9x;
        node.deviceClass = "DiskDrive";
        node.description =
            "NORVELL " + reader.registryKey + " " + reader.slots[entry.first.slot].driveFunc;
        node.productId = reader.registryKey + " " + reader.slots[entry.first.slot].driveFunc;
        node.letter = entry.first.letter;
        nodes.push_back(node);
      }
    }
    if (i % 15 == 7) {
      // Other removable disks, present with letters of their own.
      Devnode node;
      const uint32_t n = i / 15;
      node.hardwareKey = "SCSI\\" + std::string(kOtherVendors[n % 8]).substr(0, 5) +
                         "___FLASH_DISK" + std::to_string(n) + "\\USBSTOR&DISK&000" +
                         std::to_string(n % 4);
      node.deviceClass = "DiskDrive";
      node.description = "Flash disk";
      node.productId = "FLASH DISK";
      node.letter = static_cast<char>('N' + n % 13);
      nodes.push_back(node);
      continue;
    }
    nodes.push_back(SystemDevnode(i));
  }
  WriteNinexTrees(registry, nodes, status);
  return status;
}

void ClearUsbHistoryImage(platform::IRegistry& registry) {
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine, kMountedDevices);
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine, kDiskEnum);
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine,
                               "System\\CurrentControlSet\\Enum\\USBSTOR");
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine, "System\\CurrentControlSet\\Enum\\IDE");
  platform::DeleteRegistryTree(registry, kHkeyDynData, kConfigManagerEnum);
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine, "Enum");
}
