// A registry image of a machine that has seen many USB storage devices, written through the
// registry seam so the same image can go into the in-memory registry and into a real one:
//   - "System\MountedDevices" with a chosen number of values: "\??\Volume{...}" records in
//     the three forms Windows writes (12-byte MBR signature and offset, 24-byte "DMIO:ID:"
//     GPT/dynamic form, UTF-16 device path) and a "\DosDevices\X:" record for every letter;
//   - "Services\Disk\Enum" listing 40 present disks with its "Count" and "NextInstance";
//   - the per-device Enum keys of present and long-gone USB disks;
//   - the 9x configuration manager with 300 devnodes and their HKLM "Enum" keys;
// with two catalogue readers connected, each of their slots holding a letter.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fake_machine/usb_disks.h"
#include "platform/registry.h"

using fake::MountRecordStyle;

struct UsbHistoryOptions {
  uint32_t mountValues = 2000;  // values of "System\MountedDevices", at least 60
  MountRecordStyle style = MountRecordStyle::kXp;
  uint32_t seed = 0x5EED;
};

// One slot of a connected reader, as the image records it.
struct ConnectedSlot {
  int reader = 0;  // catalogue index (0-based)
  int slot = 0;
  char letter = 0;
  std::string instanceId;     // NT device instance id of the slot's disk
  std::string hardwareKey9x;  // 9x hardware key below HKLM "Enum\"
};

// The catalogue indexes of the two connected readers: a four-slot and a five-slot one.
constexpr int kConnectedFourSlotReader = 0;   // NVR-410U
constexpr int kConnectedFiveSlotReader = 16;  // NVR-550R
constexpr uint32_t kPresentDisks = 40;
constexpr uint32_t kDevnodes9x = 300;

// Writes the image; returns the first registry error, 0 on success. slots, when given, gets
// the connected slots.
long WriteUsbHistoryImage(platform::IRegistry& registry, const UsbHistoryOptions& options,
                          std::vector<ConnectedSlot>* slots = nullptr);

// Takes away the trees the image writes, so a real registry can take a new one.
void ClearUsbHistoryImage(platform::IRegistry& registry);
