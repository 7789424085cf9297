// <windows.h> for code that also sees the seams: the A/W switch macros whose names the seams
// use for their own operations are taken away, so that a seam header means the same in every
// file that includes it. Call the A functions by their full names.
#pragma once
#include <windows.h>
#include <shellapi.h>

#undef AppendMenu
#undef MessageBox
#undef PostMessage
#undef ShellExecute
