#include "tools/slotdrive/drive_list.h"

#include <cctype>

#include "platform/text/mbcs_text.h"

namespace slotdrive {

namespace {

bool ParseDriveType(const std::string& name, unsigned& type) {
  static const struct {
    const char* name;
    unsigned type;
  } kTypes[] = {{"unknown", platform::kDriveUnknown},   {"none", platform::kDriveNoRootDir},
                {"removable", platform::kDriveRemovable}, {"fixed", platform::kDriveFixed},
                {"remote", platform::kDriveRemote},     {"cdrom", platform::kDriveCdrom},
                {"ramdisk", platform::kDriveRamdisk}};
  for (const auto& known : kTypes)
    if (name == known.name) {
      type = known.type;
      return true;
    }
  // A number stands for a type Windows does not name.
  if (name.empty() || name.size() > 9) return false;
  for (char c : name)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  type = static_cast<unsigned>(std::stoul(name));
  return true;
}

}  // namespace

bool ParseDriveLetter(const std::string& text, const char* what, char& letter,
                      std::string& error) {
  const char upper = text.size() == 1 ? static_cast<char>(std::toupper(
                                            static_cast<unsigned char>(text[0])))
                                      : '\0';
  if (upper < 'A' || upper > 'Z') {
    error = std::string(what) + " '" + text + "': a drive letter is one of A to Z";
    return false;
  }
  letter = upper;
  return true;
}

// "C=fixed,D=cdrom,F=removable": every letter named gets its type, the others none.
bool ParseDrives(const std::string& list, platform::ScriptedSystem& system, std::string& error) {
  if (list.empty()) return true;
  bool seen[26] = {};
  for (const std::string& item : MbcsSplit(list, ',')) {
    const size_t equals = item.find('=');
    const char letter = item.empty() ? '\0' : static_cast<char>(std::toupper(
                                                  static_cast<unsigned char>(item[0])));
    unsigned type = 0;
    if (equals != 1 || letter < 'A' || letter > 'Z' ||
        !ParseDriveType(item.substr(equals + 1), type)) {
      error = "--drives: '" + item +
              "' is not LETTER=TYPE (unknown, none, removable, fixed, remote, cdrom, ramdisk)";
      return false;
    }
    if (seen[letter - 'A']) {
      error = std::string("--drives: ") + letter + " given twice";
      return false;
    }
    seen[letter - 'A'] = true;
    system.SetDrive(letter, type);
  }
  return true;
}

bool ParseMedia(const std::string& letters, platform::ScriptedSystem& system, std::string& error) {
  for (char c : letters) {
    if (c == ',') continue;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string root = std::string(1, letter) + ":\\";
    if (letter < 'A' || letter > 'Z' ||
        system.QueryDriveType(root.c_str()) == platform::kDriveNoRootDir) {
      error = std::string("--media: '") + c + "' is not a drive given with --drives";
      return false;
    }
    system.SetMedium(letter, true);
  }
  return true;
}

}  // namespace slotdrive
