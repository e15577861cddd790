#pragma once
#include "common/win32/ListBox.h"

// Fills the window list with every visible top-level window that has a title: the title (at most 254
// characters) as text, the window handle as item data. The list box sorts the entries.
void FillWindowList(const CListBox& list);
