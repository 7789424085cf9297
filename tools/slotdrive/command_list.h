// The subcommands of slotdrive: name, entry point and usage, one line each. A new subcommand
// is a file with its entry point (int Run...(const std::vector<std::string>& args)) and one
// line here. Included with SLOTDRIVE_COMMAND defined by the includer.
SLOTDRIVE_COMMAND("find", RunFind,
                  "find (--reg FILE)... --os OS [--wine-order] [--filter TEXT] SLOTID...")
SLOTDRIVE_COMMAND("assign", RunAssign,
                  "assign (--reg FILE)... --os OS [--wine-order] --letter X [--filter TEXT] "
                  "SLOTID... [--out FILE]")
SLOTDRIVE_COMMAND("export", RunExport,
                  "export (--reg FILE)... [--wine-order] [--out FILE] KEY...")
SLOTDRIVE_COMMAND("loscan", RunLoscan,
                  "loscan (--reg FILE)... --os OS [--wine-order] [--drives LIST] [--model NAME] "
                  "[--choose LETTERS] [--set] [--out FILE]")
SLOTDRIVE_COMMAND("tavrik", RunTavrik,
                  "tavrik (--reg FILE)... --os OS [--wine-order] [--drives LIST] "
                  "[--media LETTERS] [--files LIST] [--click left|right] [--command ID] "
                  "[--out FILE]")
SLOTDRIVE_COMMAND("definitions", RunDefinitions, "definitions [--icons FOLDER] [--out FILE]")
#ifdef SLOTDRIVE_LIVE
SLOTDRIVE_COMMAND("load", RunLoad, "load (--reg FILE)...")
SLOTDRIVE_COMMAND("eject", RunEject, "eject [--trace] LETTER")
SLOTDRIVE_COMMAND("holders", RunHolders, "holders [--time] LETTER")
#endif
