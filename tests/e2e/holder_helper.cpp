// Plays a program that holds files open, for the holder lookup's tests under Wine.
//
// usage: holder_helper FOLDER [--file PATH] [--folder PATH] [--many PATH COUNT] [--events COUNT]
//                            [--pipe]
//   --file PATH        opens the file PATH (read, sharing everything)
//   --folder PATH      opens the folder PATH as a directory handle
//   --many PATH COUNT  opens PATH COUNT times more, to make a busy handle list
//   --events COUNT     makes COUNT events: handles of another type, as most of a system's are
//   --pipe             a pipe with a thread blocked reading it: the handle whose name query
//                      can hang
// Once everything is open it writes its process id to FOLDER\ready; when FOLDER\close appears
// it closes what --file and --folder opened and writes FOLDER\closed; when FOLDER\stop appears
// it ends. Exit code 1 when something cannot be opened.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

HANDLE Open(const char* path, DWORD flags) {
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, flags, nullptr);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WaitFor(const std::string& path) {
  while (!Exists(path)) Sleep(20);
}

// Written under another name first, so that the test never reads half a file.
bool Signal(const std::string& folder, const char* name, const std::string& text) {
  const std::string part = folder + "\\" + name + ".part";
  FILE* file = std::fopen(part.c_str(), "wb");
  if (file == nullptr) return false;
  std::fputs(text.c_str(), file);
  std::fclose(file);
  return MoveFileA(part.c_str(), (folder + "\\" + name).c_str()) != FALSE;
}

DWORD WINAPI ReadForever(void* pipe) {
  char byte;
  DWORD read = 0;
  ReadFile(static_cast<HANDLE>(pipe), &byte, 1, &read, nullptr);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: holder_helper FOLDER [--file PATH] [--folder PATH] "
                         "[--many PATH COUNT] [--events COUNT] [--pipe]\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::vector<HANDLE> closing;
  std::vector<HANDLE> kept;
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (option == "--file" && i + 1 < argc) {
      handle = Open(argv[++i], 0);
      closing.push_back(handle);
    } else if (option == "--folder" && i + 1 < argc) {
      handle = Open(argv[++i], FILE_FLAG_BACKUP_SEMANTICS);
      closing.push_back(handle);
    } else if (option == "--many" && i + 2 < argc) {
      const char* path = argv[++i];
      const int count = std::atoi(argv[++i]);
      for (int n = 0; n < count; ++n) {
        handle = Open(path, 0);
        if (handle == INVALID_HANDLE_VALUE) break;
        kept.push_back(handle);
      }
    } else if (option == "--events" && i + 1 < argc) {
      const int count = std::atoi(argv[++i]);
      for (int n = 0; n < count; ++n) {
        handle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (handle == nullptr) {
          handle = INVALID_HANDLE_VALUE;
          break;
        }
        kept.push_back(handle);
      }
    } else if (option == "--pipe") {
      HANDLE reader = nullptr;
      HANDLE writer = nullptr;
      if (CreatePipe(&reader, &writer, nullptr, 0) &&
          CreateThread(nullptr, 0, ReadForever, reader, 0, nullptr) != nullptr)
        handle = reader;
    } else {
      std::fprintf(stderr, "holder_helper: unknown option %s\n", argv[i]);
      return 2;
    }
    if (handle == INVALID_HANDLE_VALUE) {
      std::fprintf(stderr, "holder_helper: %s failed (error %lu)\n", option.c_str(),
                   GetLastError());
      return 1;
    }
  }
  if (!Signal(folder, "ready", std::to_string(GetCurrentProcessId()))) return 1;
  WaitFor(folder + "\\close");
  for (HANDLE handle : closing) CloseHandle(handle);
  if (!Signal(folder, "closed", "")) return 1;
  WaitFor(folder + "\\stop");
  return 0;
}
