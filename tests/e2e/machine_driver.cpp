// Plays the machine around the programs in the end-to-end tests under Wine: plugs and unplugs
// drives while a program runs, and reports the drives as the programs see them.
//
// Wine keeps its drives in the mount manager, which answers GetLogicalDrives and GetDriveType;
// a link made in dosdevices behind its back changes neither. So a drive is plugged and
// unplugged the way Wine's own configuration tool does it: with the mount manager's request to
// define a drive letter on a Unix folder.
//
// usage: machine_driver COMMAND [ARGS]
//   plug LETTER FOLDER [TYPE]  give LETTER to the Unix FOLDER as a drive of TYPE (removable,
//                              fixed, cdrom; removable by default). A folder that does not
//                              exist makes a slot without a medium.
//   unplug LETTER...           take the letters away
//   drives                     the drives as "C=fixed,F=removable,..." (slotdrive --drives)
//   media                      the letters whose root answers a free-space query (--media)
//   shortpath PATH...          each PATH, a tab and its short form, one per line
//   hold                       keep a hidden window until ended: Wine closes a desktop once
//                              no other program has a window on it, and with it its taskbar
// Exit code 1 when the mount manager refuses a request.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Wine's mount manager extension (include/ddk/mountmgr.h of Wine 8): the Unix folder follows
// the record, mount_point_offset says where.
struct UnixDriveRequest {
  ULONG size;
  ULONG type;
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};
constexpr DWORD kDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

const char* const kTypeNames[] = {"unknown", "none",  "removable", "fixed",
                                  "remote",  "cdrom", "ramdisk"};

bool DefineDrive(char letter, UINT type, const char* folder) {
  char buffer[sizeof(UnixDriveRequest) + MAX_PATH] = {};
  auto* request = reinterpret_cast<UnixDriveRequest*>(buffer);
  size_t size = sizeof(UnixDriveRequest);
  if (folder != nullptr) {
    const size_t length = std::strlen(folder) + 1;
    if (length > MAX_PATH) return false;
    std::memcpy(buffer + size, folder, length);
    request->mountPointOffset = static_cast<USHORT>(size);
    size += length;
  }
  request->size = static_cast<ULONG>(size);
  request->type = type;
  request->letter = static_cast<WCHAR>(letter | 0x20);
  HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, buffer, static_cast<DWORD>(size),
                                  nullptr, 0, &returned, nullptr);
  CloseHandle(manager);
  return ok != FALSE;
}

bool IsLetter(const char* text) {
  return text[0] != '\0' && text[1] == '\0' &&
         ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

int Plug(int argc, char** argv) {
  UINT type = DRIVE_REMOVABLE;
  if (argc == 5) {
    type = 0;
    for (UINT t = DRIVE_REMOVABLE; t <= DRIVE_RAMDISK; ++t)
      if (std::strcmp(argv[4], kTypeNames[t]) == 0) type = t;
  }
  if (!IsLetter(argv[2]) || type == 0) return 2;
  if (DefineDrive(argv[2][0], type, argv[3])) return 0;
  std::fprintf(stderr, "machine_driver: the mount manager refused %s: (error %lu)\n", argv[2],
               GetLastError());
  return 1;
}

int Unplug(int argc, char** argv) {
  int result = 0;
  for (int i = 2; i < argc; ++i) {
    if (!IsLetter(argv[i])) return 2;
    // A drive of type "no root directory" is how the mount manager is asked to remove one.
    if (!DefineDrive(argv[i][0], DRIVE_NO_ROOT_DIR, nullptr)) {
      std::fprintf(stderr, "machine_driver: %s: not unplugged (error %lu)\n", argv[i],
                   GetLastError());
      result = 1;
    }
  }
  return result;
}

void PrintDrives(bool mediaOnly) {
  const DWORD mask = GetLogicalDrives();
  // An empty slot must fail quietly, not ask for a disk.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  std::string out;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if ((mask & (1u << (letter - 'A'))) == 0) continue;
    const char root[] = {letter, ':', '\\', '\0'};
    if (mediaOnly) {
      if (GetDiskFreeSpaceExA(root, nullptr, nullptr, nullptr)) out += letter;
      continue;
    }
    const UINT type = GetDriveTypeA(root);
    if (!out.empty()) out += ',';
    out += letter;
    out += '=';
    out += type < sizeof kTypeNames / sizeof kTypeNames[0] ? kTypeNames[type]
                                                           : std::to_string(type).c_str();
  }
  std::printf("%s\n", out.c_str());
}

int Hold() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "MachineDriverHold";
  if (!RegisterClassA(&windowClass) ||
      !CreateWindowA(windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                     windowClass.hInstance, nullptr))
    return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  int result = 2;
  if (command == "plug" && (argc == 4 || argc == 5)) {
    result = Plug(argc, argv);
  } else if (command == "unplug" && argc > 2) {
    result = Unplug(argc, argv);
  } else if ((command == "drives" || command == "media") && argc == 2) {
    PrintDrives(command == "media");
    result = 0;
  } else if (command == "hold" && argc == 2) {
    result = Hold();
  } else if (command == "shortpath") {
    result = 0;
    for (int i = 2; i < argc; ++i) {
      char shortPath[MAX_PATH] = {};
      const DWORD length = GetShortPathNameA(argv[i], shortPath, MAX_PATH);
      if (length == 0 || length >= MAX_PATH) result = 1;
      std::printf("%s\t%s\n", argv[i], length == 0 || length >= MAX_PATH ? "" : shortPath);
    }
  }
  if (result == 2)
    std::fprintf(stderr, "usage: machine_driver plug LETTER FOLDER [TYPE] | unplug LETTER... | "
                         "drives | media | shortpath PATH... | hold\n");
  return result;
}
