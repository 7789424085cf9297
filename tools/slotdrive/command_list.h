// The subcommands of slotdrive: name, entry point and a one-line summary. A new subcommand
// is a file with its entry point (int Run...(const std::vector<std::string>& args)), one
// line here and its help in command_help.cpp. Included with SLOTDRIVE_COMMAND defined by the
// includer.
SLOTDRIVE_COMMAND("find", RunFind, "which drive letter each slot has (JSON)")
SLOTDRIVE_COMMAND("assign", RunAssign, "give slots a new drive letter, as Loscan's Set does")
SLOTDRIVE_COMMAND("export", RunExport, "write registry keys as a REGEDIT4 file")
SLOTDRIVE_COMMAND("diff", RunDiff, "what changed between two .reg files")
SLOTDRIVE_COMMAND("loscan", RunLoscan, "Loscan's dialog run without a window (JSON)")
SLOTDRIVE_COMMAND("tavrik", RunTavrik, "Tavrik's tray window run without a window (JSON)")
SLOTDRIVE_COMMAND("definitions", RunDefinitions, "the reader definitions Tavrik needs (.reg)")
#ifdef SLOTDRIVE_LIVE
SLOTDRIVE_COMMAND("load", RunLoad, "write .reg files into this machine's registry")
SLOTDRIVE_COMMAND("eject", RunEject, "eject the medium of one drive of this machine")
SLOTDRIVE_COMMAND("holders", RunHolders, "name the programs that hold a drive of this machine open")
#endif
