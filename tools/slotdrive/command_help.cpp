#include "tools/slotdrive/command_help.h"


namespace slotdrive {
namespace {

// The options that choose the machine, shared by the commands that read one.
#define MACHINE_OPTIONS                                                                       \
  "  --reg FILE     a registry export (regedit /e, REGEDIT4 or version 5 format); repeat it\n" \
  "                 to load several files in order into one image\n"                          \
  "  --wine-order   list keys and values sorted by name, as Wine does (to predict a Wine run)\n"
#define OS_OPTION                                                                              \
  "  --os OS        the Windows version the machine runs: Win95, Win98, Win98SE, WinMe,\n"      \
  "                 WinNT4, Win2k, WinXP, WinVista (any case), or platform.major.minor.build\n" \
  "                 as GetVersionEx reports it (build decimal or 0x-hex)\n"
#ifdef SLOTDRIVE_LIVE
#define LIVE_OPTION \
  "  --live         this machine's own registry and version instead of --reg and --os\n"
#else
#define LIVE_OPTION ""
#endif
#define REFUSED_EXIT \
  "  2  refused: a bad option or value, or a file that cannot be read (reason on stderr)\n"

const struct {
  const char* name;
  const char* text;
} kHelp[] = {
    {"find",
     "usage: slotdrive find --reg FILE... --os OS [--filter TEXT] SLOTID...\n"
     "\n"
     "Looks up each slot id in turn, as Loscan and Tavrik do for the slots of one reader, and\n"
     "prints what each lookup found and the finder's state afterwards as JSON (UTF-8).\n"
     "A slot id is the hardware id of one slot's disk, or a part of it; \"**\" separates a head\n"
     "and a tail that must both occur.\n"
     "\n"
     "options:\n" MACHINE_OPTIONS OS_OPTION LIVE_OPTION
     "  --filter TEXT  look up by name as Tavrik does: only disks whose name (NT) or product\n"
     "                 id (9x) contains TEXT; an empty TEXT still makes it a named lookup\n"
     "\n"
     "example:\n"
     "  slotdrive find --reg machine.reg --os WinXP 'USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot'\n"
     "\n"
     "exit codes:\n"
     "  0  the report was printed (\"foundDrive\" is \"NoDrive\" when no letter was found)\n"
     REFUSED_EXIT},
    {"assign",
     "usage: slotdrive assign --reg FILE... --os OS --letter X [--filter TEXT] SLOTID...\n"
     "                        [--out FILE]\n"
     "\n"
     "Gives every disk that matches a slot id the drive letter X, as Loscan's Set does: on the\n"
     "NT family the slot's mount records are replaced, on the 9x family its\n"
     "UserDriveLetterAssignment is written. Standard error lists every value deleted and\n"
     "written, or says that nothing matched. The image itself is written only with --out.\n"
     "\n"
     "options:\n" MACHINE_OPTIONS OS_OPTION LIVE_OPTION
     "  --letter X     the new drive letter, A to Z (either case)\n"
     "  --filter TEXT  only disks whose name (NT) or product id (9x) contains TEXT\n"
     "  --out FILE     write the whole image afterwards as a REGEDIT4 file, as regedit reads\n"
     "                 it (cp932, CRLF); \"-\" for standard output\n"
     "\n"
     "example:\n"
     "  slotdrive assign --reg machine.reg --os WinXP --letter P --filter NR-4U \\\n"
     "      'USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot' --out assigned.reg\n"
     "\n"
     "exit codes:\n"
     "  0  the letter was written\n"
     "  1  nothing was written: no disk matched, or the matching slots already had X\n"
     REFUSED_EXIT},
    {"export",
     "usage: slotdrive export --reg FILE... [--out FILE] KEY...\n"
     "\n"
     "Writes the named keys, with everything below them, as one REGEDIT4 file (cp932, CRLF),\n"
     "the way regedit reads it. A key that does not exist is named on standard error and\n"
     "left out.\n"
     "\n"
     "options:\n" MACHINE_OPTIONS LIVE_OPTION
     "  --out FILE     the file to write; standard output without it\n"
     "  KEY            a key with its root, full (HKEY_LOCAL_MACHINE) or short (HKLM, HKCU,\n"
     "                 HKCR, HKU, HKDD)\n"
     "\n"
     "example:\n"
     "  slotdrive export --reg machine.reg --out mounts.reg 'HKLM\\SYSTEM\\MountedDevices'\n"
     "\n"
     "exit codes:\n"
     "  0  the file was written (some keys may have been missing, see standard error)\n"
     "  1  none of the keys exists: the file holds only its header\n" REFUSED_EXIT},
    {"diff",
     "usage: slotdrive diff [--key KEY]... [--values-only] [--any-case NAME]... OLD.reg NEW.reg\n"
     "\n"
     "Prints what changed from OLD.reg to NEW.reg as the registry sees it: keys and values\n"
     "added, removed and changed, whatever the order of the files or the case of the names.\n"
     "Strings are shown as text, mount records that hold text as binary \"text\", other data\n"
     "as hex. One line each:\n"
     "  added key [KEY]              removed key [KEY]\n"
     "  added [KEY] NAME = DATA      removed [KEY] NAME = DATA\n"
     "  changed [KEY] NAME: OLD -> NEW\n"
     "\n"
     "options:\n"
     "  --key KEY        compare only KEY and what lies below it (repeatable; default: all)\n"
     "  --values-only    compare what keys hold, not which keys exist: a key without values\n"
     "                   and an empty default string count as absent\n"
     "  --any-case NAME  strings in keys whose name ends in NAME compare ignoring case\n"
     "\n"
     "example (what Loscan changed on a machine):\n"
     "  slotdrive diff before.reg after.reg\n"
     "\n"
     "exit codes:\n"
     "  0  no difference\n"
     "  1  differences, printed on standard output\n" REFUSED_EXIT},
    {"loscan",
     "usage: slotdrive loscan --reg FILE... --os OS [--drives LIST] [--model NAME]\n"
     "                        [--choose LETTERS] [--set] [--out FILE]\n"
     "\n"
     "Runs Loscan's dialog without a window: it opens, optionally another model is chosen,\n"
     "letters are chosen per slot row and Set is pressed. Prints what the dialog then shows\n"
     "(rows, choices, the drive list, message boxes) as JSON (UTF-8).\n"
     "\n"
     "options:\n" MACHINE_OPTIONS OS_OPTION LIVE_OPTION
     "  --drives LIST     the machine's drives: LETTER=TYPE,... with TYPE one of unknown,\n"
     "                    none, removable, fixed, remote, cdrom, ramdisk (or a number)\n"
     "  --model NAME      choose this model in the model list\n"
     "  --choose LETTERS  the new letter of each slot row, in order (\"P,Q,,R\"); an empty\n"
     "                    entry clears the row's choice\n"
     "  --set             press Set\n"
     "  --out FILE        write the whole image afterwards as a REGEDIT4 file\n"
     "\n"
     "example:\n"
     "  slotdrive loscan --reg machine.reg --os WinXP --drives C=fixed,F=removable \\\n"
     "      --choose P --set --out after.reg\n"
     "\n"
     "exit codes:\n"
     "  0  the report was printed\n" REFUSED_EXIT},
    {"tavrik",
     "usage: slotdrive tavrik --reg FILE... --os OS [--drives LIST] [--media LETTERS]\n"
     "                        [--files FILE] [--click left|right] [--command ID] [--out FILE]\n"
     "\n"
     "Runs Tavrik's hidden window without a window: its start, optionally a click on the tray\n"
     "icon and a menu command. Prints what it showed and did (readers and slots, the menu,\n"
     "message boxes, shell calls, ejects) as JSON (UTF-8). Tavrik needs the reader\n"
     "definitions: add them with --reg (see slotdrive definitions).\n"
     "\n"
     "options:\n" MACHINE_OPTIONS OS_OPTION
     "  --drives LIST    the machine's drives: LETTER=TYPE,... (see slotdrive loscan --help)\n"
     "  --media LETTERS  the drives that hold a medium (\"FG\" or \"F,G\"), given in --drives\n"
     "  --files FILE     the machine's files, one absolute path a line (a tab and its short\n"
     "                   form may follow; a folder ends in a backslash)\n"
     "  --click SIDE     left (the slot menu) or right (the other commands)\n"
     "  --command ID     then choose the menu command ID (1032 to 1087)\n"
     "  --out FILE       write the whole image afterwards as a REGEDIT4 file\n"
     "\n"
     "example:\n"
     "  slotdrive definitions --out definitions.reg\n"
     "  slotdrive tavrik --reg definitions.reg --reg machine.reg --os WinXP \\\n"
     "      --drives C=fixed,F=removable --media F --click left\n"
     "\n"
     "exit codes:\n"
     "  0  the report was printed\n" REFUSED_EXIT},
    {"definitions",
     "usage: slotdrive definitions [--icons FOLDER] [--out FILE]\n"
     "\n"
     "Writes the reader definitions Tavrik reads (the file the installer imports) as a\n"
     "REGEDIT4 file.\n"
     "\n"
     "options:\n"
     "  --icons FOLDER  the folder the slot icons are installed in (default: the installer's)\n"
     "  --out FILE      the file to write; standard output without it\n"
     "\n"
     "example:\n"
     "  slotdrive definitions --out definitions.reg\n"
     "\n"
     "exit codes:\n"
     "  0  the file was written\n" REFUSED_EXIT},
#ifdef SLOTDRIVE_LIVE
    {"load",
     "usage: slotdrive load --reg FILE...\n"
     "\n"
     "Writes .reg files into this machine's registry, HKEY_DYN_DATA included. Every file is\n"
     "checked first, so a bad file leaves the registry as it was.\n"
     "\n"
     "options:\n"
     "  --reg FILE  a .reg file to write (repeatable, written in order)\n"
     "\n"
     "example:\n"
     "  slotdrive load --reg machine.reg\n"
     "\n"
     "exit codes:\n"
     "  0  every file was written\n" REFUSED_EXIT},
    {"eject",
     "usage: slotdrive eject [--trace] LETTER\n"
     "\n"
     "Ejects the medium of one drive of this machine with the engine Tavrik uses on this\n"
     "system, and prints the engine's message; when the volume could not be locked or\n"
     "dismounted, the programs holding it follow, as Tavrik's message names them.\n"
     "\n"
     "options:\n"
     "  --trace  list every volume call on standard error\n"
     "  LETTER   the drive, A to Z (either case)\n"
     "\n"
     "example:\n"
     "  slotdrive eject F\n"
     "\n"
     "exit codes:\n"
     "  0  the medium was ejected\n"
     "  1  the eject failed (the engine's message), or this system has no eject\n" REFUSED_EXIT},
    {"holders",
     "usage: slotdrive holders [--time] LETTER\n"
     "\n"
     "Names the programs that hold a file, a folder or the volume of one drive of this\n"
     "machine open, one \"NAME (PID n)\" per line: what keeps an eject from locking the\n"
     "drive. Windows 2000 to Vista; Windows 9x gives no handle list.\n"
     "\n"
     "options:\n"
     "  --time   how long the lookup took, over how many handles (on standard error)\n"
     "  LETTER   the drive, A to Z (either case)\n"
     "\n"
     "example:\n"
     "  slotdrive holders F\n"
     "\n"
     "exit codes:\n"
     "  0  the list was printed (empty when nothing holds the drive)\n"
     "  1  this system gives no handle list\n" REFUSED_EXIT},
#endif
};

}  // namespace

const char* CommandHelp(const std::string& command) {
  for (const auto& help : kHelp)
    if (command == help.name) return help.text;
  return nullptr;
}

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

}  // namespace slotdrive
