// Puts one cell of the ejector's slot table in a state without a refresh, for a test whose
// machine's registry cannot give it (a found slot on Windows 95, a slot found without a
// letter, a stale letter on a second reader). Only the tests link it: the programs have no
// way to write the table from outside.
#pragma once
#include <string>

#include "tavrik/ejector_dlg.h"

void StageSlot(CEjectorDlg& dlg, int cell, int found, const std::string& drive,
               const std::string& driveFuncs, int ready);
