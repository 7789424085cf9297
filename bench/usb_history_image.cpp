#include "bench/usb_history_image.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "common/reader_catalogue.h"
#include "fake_machine/key_writer.h"
#include "platform/reg_files/registry_tree.h"

using fake::Bytes;
using fake::Devnode;
using fake::DwordBytes;
using fake::KeyDetail;
using fake::KeyWriter;
using fake::NtDisk;
using fake::Utf16Le;
using platform::kErrorSuccess;
using platform::kHkeyDynData;
using platform::kHkeyLocalMachine;

namespace {

// The volume device-interface class, which ends a floppy's and a CD drive's records too.
constexpr char kVolumeClass[] = "{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
constexpr uint32_t kHistoricDevices = 150;

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

// An MBR volume: disk signature and the partition's byte offset.
Bytes MbrRecord(Rng& rng) {
  Bytes data = DwordBytes(rng.Next());
  const uint64_t offset = (uint64_t{rng.Below(4096)} + 63) * 512;
  for (int i = 0; i < 8; ++i) data.push_back(static_cast<uint8_t>(offset >> (8 * i)));
  return data;
}

// A GPT or dynamic-disk volume: "DMIO:ID:" and the partition's GUID.
Bytes DmioRecord(Rng& rng) {
  const std::string head = "DMIO:ID:";
  Bytes data(head.begin(), head.end());
  for (int i = 0; i < 4; ++i) {
    Bytes word = DwordBytes(rng.Next());
    data.insert(data.end(), word.begin(), word.end());
  }
  return data;
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

struct MountValue {
  std::string name;
  Bytes data;
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
  // (A disk without a ParentIdPrefix is not a USB disk.)
  std::vector<NtDisk> present;
  present.push_back({"IDE\\DiskBRISA_HD160GX_____________________1.02____\\5&1a2b3c4d&0&0.0.0",
                     "BRISA HD160GX", ""});
  present.push_back({"IDE\\DiskBRISA_HD320GX_____________________1.02____\\5&1a2b3c4d&0&0.1.0",
                     "BRISA HD320GX", ""});
  for (uint32_t i = 0; present.size() + connected.size() < kPresentDisks; ++i)
    present.push_back(OtherUsbDisk(i));
  std::vector<NtDisk> disks(present.begin(), present.begin() + 20);
  for (const auto& entry : connected) disks.push_back(entry.second);
  disks.insert(disks.end(), present.begin() + 20, present.end());
  {
    KeyWriter diskEnum(registry, kHkeyLocalMachine, fake::kDiskEnumKey, status);
    for (size_t i = 0; i < disks.size(); ++i) {
      diskEnum.Text(std::to_string(i), disks[i].instanceId);
      if (i == 0) {
        diskEnum.Dword("Count", kPresentDisks);
        diskEnum.Dword("NextInstance", kPresentDisks);
      }
    }
  }
  for (const NtDisk& disk : disks) fake::WriteNtDeviceKey(registry, disk, KeyDetail::kFull, status);

  // Devices seen once and gone: their keys and mount records stay behind.
  std::vector<NtDisk> historic;
  for (uint32_t i = 0; i < kHistoricDevices; ++i) {
    historic.push_back(OtherUsbDisk(1000 + i));
    fake::WriteNtDeviceKey(registry, historic.back(), KeyDetail::kFull, status);
  }

  // One "\DosDevices\X:" record for every letter.
  std::vector<MountValue> letters;
  letters.push_back(
      {fake::DosDevice('A'),
       Utf16Le(std::string("\\??\\FDC#GENERIC_FLOPPY_DRIVE#6&2b3f4e1&0&0#") + kVolumeClass)});
  letters.push_back({fake::DosDevice('B'), Utf16Le(fake::MountRecord(historic[0], options.style))});
  letters.push_back({fake::DosDevice('C'), MbrRecord(rng)});
  letters.push_back({fake::DosDevice('D'),
                     Utf16Le(std::string("\\??\\IDE#CdRomBRISA_DVD-RW_DR4000________________1.00____#"
                                       "5&2f1e3d&0&1.0.0#") +
                           kVolumeClass)});
  for (const auto& entry : connected)
    letters.push_back(
        {fake::DosDevice(entry.first.letter), Utf16Le(fake::MountRecord(entry.second, options.style))});
  for (char x = static_cast<char>('E' + connected.size()); x <= 'Z'; ++x) {
    const uint32_t kind = static_cast<uint32_t>(x - 'A') % 4;
    if (kind == 0) {
      letters.push_back({fake::DosDevice(x), MbrRecord(rng)});
    } else if (kind == 1) {
      letters.push_back({fake::DosDevice(x), DmioRecord(rng)});
    } else {
      letters.push_back(
          {fake::DosDevice(x), Utf16Le(fake::MountRecord(historic[static_cast<size_t>(x - 'A')], options.style))});
    }
  }

  // Volume records fill the rest, in the three data forms; the connected volumes among them.
  const uint32_t total = options.mountValues > letters.size() + connected.size()
                             ? options.mountValues
                             : static_cast<uint32_t>(letters.size() + connected.size());
  std::vector<MountValue> values;
  for (const auto& entry : connected)
    values.push_back(
        {"\\??\\Volume" + GuidText(rng), Utf16Le(fake::MountRecord(entry.second, options.style))});
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
        value.data = Utf16Le(fake::MountRecord(historic[i % historic.size()], options.style));
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
    KeyWriter mounts(registry, kHkeyLocalMachine, fake::kMountKey, status);
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
  for (size_t i = 0; i < nodes.size(); ++i)
    fake::WriteDevnode(registry, static_cast<uint32_t>(i), nodes[i], KeyDetail::kFull, status);
  return status;
}

void ClearUsbHistoryImage(platform::IRegistry& registry) {
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine, fake::kMountKey);
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine, fake::kDiskEnumKey);
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine,
                               "System\\CurrentControlSet\\Enum\\USBSTOR");
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine, "System\\CurrentControlSet\\Enum\\IDE");
  platform::DeleteRegistryTree(registry, kHkeyDynData, fake::kDevnodeListKey);
  platform::DeleteRegistryTree(registry, kHkeyLocalMachine, "Enum");
}
