#pragma once
// Tells video files from audio files by the extension of their name, without opening them.
#include <string>

// From the last "." of the whole path to its end, dot included, lower-cased; the whole path,
// lower-cased, when it holds no dot.
std::wstring GetFileExt(const std::wstring& path);
bool IsVideoFile(const std::wstring& path);
bool IsAudioFile(const std::wstring& path);
