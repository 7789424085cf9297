#include "fake_machine/usb_disks.h"

#include <cstdio>

#include "fake_machine/key_writer.h"

namespace fake {

namespace {
// The device-interface classes that end the two record forms: volumes and disks.
constexpr char kVolumeClass[] = "{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
constexpr char kDiskClass[] = "{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
constexpr char kDiskDriveClassGuid[] = "{4D36E967-E325-11CE-BFC1-08002BE10318}";

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*x", digits, static_cast<unsigned>(value));
  return text;
}
}  // namespace

std::string DosDevice(char letter) { return std::string("\\DosDevices\\") + letter + ":"; }

std::string XpMountRecord(const std::string& parentIdPrefix) {
  return "\\??\\STORAGE#RemovableMedia#" + parentIdPrefix + "&RM#" + kVolumeClass;
}

std::string VistaMountRecord(const std::string& instanceId) {
  std::string record = "_??_" + instanceId + "#" + kDiskClass;
  for (char& c : record)
    if (c == '\\') c = '#';
  return record;
}

std::string MountRecord(const NtDisk& disk, MountRecordStyle style) {
  return style == MountRecordStyle::kXp ? XpMountRecord(disk.parentIdPrefix)
                                        : VistaMountRecord(disk.instanceId);
}

void ListNtDisk(platform::IRegistry& registry, uint32_t index, const std::string& instanceId,
                long& status) {
  KeyWriter(registry, platform::kHkeyLocalMachine, kDiskEnumKey, status)
      .Text(std::to_string(index), instanceId);
}

void WriteNtDeviceKey(platform::IRegistry& registry, const NtDisk& disk, KeyDetail detail,
                      long& status) {
  const bool usb = !disk.parentIdPrefix.empty();
  if (detail == KeyDetail::kReadValues && disk.friendlyName.empty() && !usb) return;
  KeyWriter key(registry, platform::kHkeyLocalMachine, kDeviceEnumKey + disk.instanceId, status);
  if (detail == KeyDetail::kFull) {
    key.Text("DeviceDesc", "Disk drive");
    key.Dword("Capabilities", usb ? 0x10 : 0x00);
    key.Set("HardwareID", platform::kRegMultiSz,
            MultiTextBytes({disk.instanceId.substr(0, disk.instanceId.find('\\', 8)), "GenDisk"}));
    key.Set("CompatibleIDs", platform::kRegMultiSz,
            MultiTextBytes({"USBSTOR\\Disk", "USBSTOR\\RAW"}));
    key.Text("ClassGUID", kDiskDriveClassGuid);
    key.Text("Class", "DiskDrive");
    key.Text("Driver", std::string(kDiskDriveClassGuid) + "\\0001");
    key.Text("Mfg", "(Standard disk drives)");
    key.Text("Service", "disk");
    key.Dword("ConfigFlags", 0);
  }
  if (!disk.friendlyName.empty()) key.Text("FriendlyName", disk.friendlyName);
  if (usb) key.Text("ParentIdPrefix", disk.parentIdPrefix);
}

void WriteMountRecord(platform::IRegistry& registry, const std::string& valueName,
                      const std::string& record, long& status) {
  KeyWriter(registry, platform::kHkeyLocalMachine, kMountKey, status)
      .Set(valueName, platform::kRegBinary, Utf16Le(record));
}

std::string DevnodeName(uint32_t index) { return "C29A" + Hex(0x2D50 + 0x38 * index, 4); }

void WriteDevnode(platform::IRegistry& registry, uint32_t index, const Devnode& node,
                  KeyDetail detail, long& status) {
  const bool full = detail == KeyDetail::kFull;
  KeyWriter dyn(registry, platform::kHkeyDynData,
                std::string(kDevnodeListKey) + "\\" + DevnodeName(index), status);
  dyn.Text("HardWareKey", node.hardwareKey);
  if (full) {
    dyn.Set("Problem", platform::kRegBinary, DwordBytes(0));
    dyn.Set("Status", platform::kRegBinary, DwordBytes(0x0180600A));
    dyn.Set("Allocation", platform::kRegBinary, Bytes(16, 0));
  }
  KeyWriter device(registry, platform::kHkeyLocalMachine, "Enum\\" + node.hardwareKey, status);
  if (full) {
    device.Text("Class", node.deviceClass);
    device.Text("DeviceDesc", node.description);
    device.Text("HardwareID", node.hardwareKey.substr(0, node.hardwareKey.rfind('\\')));
    device.Text("Mfg", "(Standard system devices)");
    device.Text("Driver", node.deviceClass + "\\" + Hex(index, 4));
    device.Set("ConfigFlags", platform::kRegBinary, DwordBytes(0));
  }
  if (!node.productId.empty()) {
    device.Text("ProductId", node.productId);
    if (full) {
      device.Text("Manufacturer", "NORVELL");
      device.Set("Removable", platform::kRegBinary, Bytes{1});
    }
  }
  if (node.letter != 0) device.Text("CurrentDriveLetterAssignment", std::string(1, node.letter));
}

}  // namespace fake
