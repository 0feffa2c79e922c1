#include "exec/merge_join.h"

#include "base/file_util.h"
#include "base/format.h"
#include "base/text.h"
#include "jobs/merge_commands.h"

namespace {
const wchar_t kJoinStart[] = L"ffmpeg -y -i \"concat:";
const wchar_t kJoinFormat[] = L"%s -c copy  \"%s\" & pause";
const wchar_t kJoinedSuffix[] = L"_ALL.";

const wchar_t kEmptyEntry[] =
    L"합칠 파일 목록에 빈 항목이 있습니다 (the list of files to join has an empty entry).";
const wchar_t kNoExtension[] =
    L"확장자가 없는 파일은 합칠 수 없습니다 (a file to join needs an extension): %s";
const wchar_t kIntermediateIsInput[] =
    L"중간 파일이 입력 파일을 덮어씁니다 (the intermediate file would overwrite an input): %s";
const wchar_t kSharedIntermediate[] =
    L"두 파일의 중간 파일 이름이 같습니다 (two files would share the intermediate file): %s";
const wchar_t kOutputIsInput[] =
    L"합친 파일이 입력 파일을 덮어씁니다 (the joined file would overwrite an input): %s";

bool IsSeparator(wchar_t c) {
#ifdef _WIN32
  return c == L'\\' || c == L'/' || c == L':';
#else
  return c == L'/';
#endif
}

// The extension must belong to the file's own name, not to a folder above it, and the name
// must have something before its dot.
bool HasOwnExtension(const std::wstring& path) {
  size_t nameStart = 0;
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) {
      nameStart = i;
      break;
    }
  }
  size_t dot = path.rfind(L'.');
  return dot != std::wstring::npos && dot > nameStart && dot + 1 < path.size();
}

// Windows file names do not differ by case.
std::wstring PathKey(const std::wstring& path) {
#ifdef _WIN32
  return ToLowerText(path);
#else
  return path;
#endif
}

bool Contains(const std::vector<std::wstring>& keys, const std::wstring& key) {
  for (const std::wstring& k : keys) {
    if (k == key) return true;
  }
  return false;
}
}  // namespace

bool CheckMergeEntries(const std::vector<std::wstring>& files, std::wstring& refusal) {
  std::vector<std::wstring> inputs;
  for (const std::wstring& file : files) inputs.push_back(PathKey(file));
  std::vector<std::wstring> intermediates;
  for (const std::wstring& file : files) {
    if (file.empty()) {
      refusal = kEmptyEntry;
      return false;
    }
    std::wstring ts;
    if (!HasOwnExtension(file) || !GetTransportStreamPath(file, ts)) {
      refusal = Sprintf(kNoExtension, file);
      return false;
    }
    if (Contains(inputs, PathKey(ts))) {
      refusal = Sprintf(kIntermediateIsInput, ts);
      return false;
    }
    if (Contains(intermediates, PathKey(ts))) {
      refusal = Sprintf(kSharedIntermediate, ts);
      return false;
    }
    intermediates.push_back(PathKey(ts));
  }
  std::wstring out;
  if (files.size() >= 2 && GetJoinedOutputPath(files[0], out) &&
      (Contains(inputs, PathKey(out)) || Contains(intermediates, PathKey(out)))) {
    refusal = Sprintf(kOutputIsInput, out);
    return false;
  }
  return true;
}

bool GetJoinedOutputPath(const std::wstring& firstEntry, std::wstring& out) {
  std::wstring stem, ext;
  if (!SplitFileExt(firstEntry, stem, ext)) return false;
  out = stem + kJoinedSuffix + ext;
  return true;
}

bool MakeJoinCommand(const std::vector<std::wstring>& files, std::wstring& command) {
  std::wstring out;
  if (files.empty() || !GetJoinedOutputPath(files[0], out)) return false;
  std::wstring join = kJoinStart;
  for (size_t j = 0; j < files.size(); ++j) {
    std::wstring ts;
    if (files[j].empty() || !GetTransportStreamPath(files[j], ts)) break;
    join += ts;
    join += j + 1 < files.size() ? L"|" : L"\"";
  }
  command = Sprintf(kJoinFormat, join, out);
  return true;
}
