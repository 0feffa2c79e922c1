#include "jobs/media_classification.h"

#include "base/text.h"
#include "base/trace.h"

namespace {
// Ordered lists, each closed by an empty entry that ends the search. The numbers identify the
// list in the trace of a miss.
const wchar_t* const kVideoExtensions[] = {L".mp4", L".mkv", L".avi", L".webm",
                                           L".mpg", L".mov", L".wmv", L""};
const wchar_t* const kAudioExtensions[] = {L".mp3", L".wav", L".aac", L".opus", L".ogg",
                                           L".ac3", L".ape", L".flc", L".wma",  L""};
// Known to ffmpeg and common in people's folders, though the two lists above leave them out.
const wchar_t* const kOtherMediaExtensions[] = {L".m4v", L".mpeg", L".ts",  L".m2ts", L".mts",  L".flv",
                                                L".3gp", L".vob",  L".ogv", L".m4a",  L".flac", L".mka",
                                                L".aif", L".aiff", L".amr", L".mp2",  L".dts"};
constexpr int kVideoListNumber = 32;
constexpr int kAudioListNumber = 40;

bool IsListedExtension(const std::wstring& path, const wchar_t* const* list, int listNumber) {
  const std::wstring ext = GetFileExt(path);
  for (int i = 0;; ++i) {
    if (list[i][0] == L'\0') {
      DebugLog(L"%s, %s, %d", path, ext, listNumber);
      return false;
    }
    if (ext == list[i]) return true;
  }
}
}  // namespace

std::wstring GetFileExt(const std::wstring& path) {
  const size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos) return ToLowerText(path);
  return ToLowerText(path.substr(dot));
}

bool IsVideoFile(const std::wstring& path) {
  return IsListedExtension(path, kVideoExtensions, kVideoListNumber);
}

bool IsAudioFile(const std::wstring& path) {
  return IsListedExtension(path, kAudioExtensions, kAudioListNumber);
}

bool IsMediaFileName(const std::wstring& name) {
  // A name without a dot has no extension: GetFileExt would hand back the whole name.
  if (name.find(L'.') == std::wstring::npos) return false;
  const std::wstring ext = GetFileExt(name);
  for (const wchar_t* const* list : {kVideoExtensions, kAudioExtensions})
    for (int i = 0; list[i][0] != L'\0'; ++i)
      if (ext == list[i]) return true;
  for (const wchar_t* other : kOtherMediaExtensions)
    if (ext == other) return true;
  return false;
}
