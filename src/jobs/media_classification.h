#pragma once
// Tells video files from audio files by the extension of their name, without opening them.
#include <string>

// From the last "." of the whole path to its end, dot included, lower-cased; the whole path,
// lower-cased, when it holds no dot.
std::wstring GetFileExt(const std::wstring& path);
bool IsVideoFile(const std::wstring& path);
bool IsAudioFile(const std::wstring& path);
// The names a folder added whole gives the list: the video and audio files above, and the
// other common media files ffmpeg converts (.m4v, .mpeg, .ts, .m2ts, .mts, .flv, .3gp, .vob,
// .ogv, .m4a, .flac, .mka, .aif, .aiff, .amr, .mp2, .dts), by the extension, in any case.
bool IsMediaFileName(const std::wstring& name);
