#include "fake_machine/ejector_twins.h"

#include <string>

namespace fake {

void EjectorTwins::InstallTavrik() {
  files.AddFile(files.modulePath);
  files.SetShortName("C:\\Program Files", "PROGRA~1");
  files.AddFolder("C:\\WINDOWS\\system32");
}

void EjectorTwins::AddVolume(char letter) {
  volumes.AddDevice(std::string("\\\\.\\") + letter + ":");
}

void EjectorTwins::AddDriveVolumes(platform::ISystem& system) {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    if (system.QueryDriveType(root) != platform::kDriveNoRootDir) AddVolume(letter);
  }
}

}  // namespace fake
