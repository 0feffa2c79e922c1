#pragma once
// Where the installer fetches the tools from, and the programs' own download pages the install
// dialog points the user to.
#include <string>

constexpr const wchar_t* kDefaultDownloadBase = L"https://download.kestrune.org/tools/";
constexpr const wchar_t* kFfmpegPageAddress = L"https://ffmpeg.org/download.html";
constexpr const wchar_t* kMediaInfoPageAddress = L"https://mediaarea.net/en/MediaInfo/Download/Windows";

// The archives, by the names they get in the program folder and on the download host.
constexpr const wchar_t* kFfmpegPart1 = L"ffmpeg.zip.001";
constexpr const wchar_t* kFfmpegPart2 = L"ffmpeg.zip.002";
constexpr const wchar_t* kFfmpegArchive = L"ffmpeg.zip";
constexpr const wchar_t* kMediaInfoArchive = L"MediaInfo.zip";

// The settings value (a text under Software\Kestrune) that names an organisation's mirror.
constexpr const wchar_t* kDownloadBaseSetting = L"download_base";

// The folder address the archives and their SHA-256 list are fetched from, ending in "/":
// KESTRUNE_DOWNLOAD_BASE when set (a mirror for one session, a local server in tests); else
// download_base of the settings store, the machine's (which only an administrator can set)
// before the user's; else the default. settingsKey is the store's key path.
std::wstring DownloadBase(const std::wstring& settingsKey);
std::wstring DownloadBase();  // under the program's own key

// DownloadBase() + fileName.
std::wstring DownloadAddress(const std::wstring& fileName);
