// slotdrive: drive discovery and the writer against exported registry files.
#include <cstdio>
#include <cstring>

namespace {
void PrintUsage() {
  std::fprintf(stderr,
               "usage: slotdrive find (--reg FILE)... --os OS [--filter TEXT] SLOTID...\n"
               "       slotdrive assign (--reg FILE)... --os OS --letter X [--filter TEXT] "
               "SLOTID... [--out FILE]\n");
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
    PrintUsage();
    return argc < 2 ? 2 : 0;
  }
  std::fprintf(stderr, "slotdrive: unknown command '%s'\n", argv[1]);
  PrintUsage();
  return 2;
}
