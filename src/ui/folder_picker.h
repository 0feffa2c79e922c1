#pragma once
// The shell's own folder picker, for the output folder.
#include <windows.h>

#include <functional>
#include <string>

// Shows the picker over owner, opened at start (when it names a folder), with title; the folder
// chosen, or empty when the user cancelled or no picker could be shown.
std::wstring PickFolder(HWND owner, const std::wstring& start, const std::wstring& title);

using FolderPicker =
    std::function<std::wstring(HWND owner, const std::wstring& start, const std::wstring& title)>;
