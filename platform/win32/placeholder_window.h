// A plain top-level window with a title, used by a program until its real window exists.
#pragma once

int RunPlaceholderWindow(const char* title);
