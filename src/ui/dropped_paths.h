#pragma once
// The paths that a drop of files on a window (WM_DROPFILES) hands over.
#include <windows.h>
// needs <windows.h> first
#include <shellapi.h>

#include <string>
#include <vector>

// Every path of the drop, in the drop's order, each one whole, however long. The drop stays
// the caller's to release (DragFinish).
std::vector<std::wstring> DroppedPaths(HDROP drop);
