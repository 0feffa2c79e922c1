#pragma once
// Where the installer fetches the tools from: the project's own download location, and the
// pages the install dialog points the user to.
#include <string>

constexpr const wchar_t* kDefaultDownloadBase = L"https://download.kestrune.org/tools/";
constexpr const wchar_t* kFfmpegPageAddress = L"https://www.kestrune.org/tools/ffmpeg";
constexpr const wchar_t* kMediaInfoPageAddress = L"https://www.kestrune.org/tools/mediainfo";

// The archives, by the names they get in the program folder and on the download host.
constexpr const wchar_t* kFfmpegPart1 = L"ffmpeg.zip.001";
constexpr const wchar_t* kFfmpegPart2 = L"ffmpeg.zip.002";
constexpr const wchar_t* kMediaInfoArchive = L"MediaInfo.zip";

// The folder address the three archives are fetched from, ending in "/":
// KESTRUNE_DOWNLOAD_BASE when set (a mirror, or a local server in tests), else the default.
std::wstring DownloadBase();

// DownloadBase() + fileName.
std::wstring DownloadAddress(const std::wstring& fileName);
