#include "base/folder_listing.h"

#include <algorithm>
#include <set>

#include "base/file_identity.h"
#include "base/file_util.h"
#include "base/text.h"

namespace {
// A tree deeper than this is a loop that no identity could show (a share without file IDs).
constexpr int kMaxDepth = 64;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool EndsInSeparator(const std::wstring& path) {
  if (path.empty()) return false;
#ifdef _WIN32
  return path.back() == L'\\' || path.back() == L'/';
#else
  return path.back() == L'/';
#endif
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  return EndsInSeparator(folder) ? folder + name : folder + kPathSeparator + name;
}

// -1, 0 or 1 as a is before, equal to or after b in natural order, case folded.
int CompareNatural(const std::wstring& a, const std::wstring& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      // Leading zeros pass; then the longer run is the greater number, or the first digit
      // that differs decides.
      while (i < a.size() && a[i] == L'0') ++i;
      while (j < b.size() && b[j] == L'0') ++j;
      size_t endA = i, endB = j;
      while (endA < a.size() && IsDigit(a[endA])) ++endA;
      while (endB < b.size() && IsDigit(b[endB])) ++endB;
      if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
      for (; i < endA; ++i, ++j)
        if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

// What identifies a folder: the file system's identity, or its text where it gives none.
std::wstring FolderKey(const std::wstring& folder) {
  std::wstring identity = FolderIdentityText(folder);
  return identity.empty() ? L"path:" + folder : identity;
}

struct CListingWalk {
  const FileNameFilter& keep;
  CFolderListing listing;
  std::set<std::wstring> seen;  // the folders listed so far, by identity

  void List(const std::wstring& folder, int depth) {
    if (depth > kMaxDepth || !seen.insert(FolderKey(folder)).second) return;
    std::vector<CFolderEntry> entries;
    if (!ReadFolderEntries(folder, entries)) {
      listing.unreadable.push_back(folder);
      return;
    }
    std::vector<std::wstring> files, folders;
    for (const CFolderEntry& entry : entries) {
      if (entry.hidden) continue;
      if (entry.isFolder)
        folders.push_back(entry.name);
      else if (keep(entry.name))
        files.push_back(entry.name);
    }
    std::sort(files.begin(), files.end(), NaturalLess);
    std::sort(folders.begin(), folders.end(), NaturalLess);
    for (const std::wstring& name : files) listing.files.push_back(JoinPath(folder, name));
    for (const std::wstring& name : folders) List(JoinPath(folder, name), depth + 1);
  }
};
}  // namespace

bool NaturalLess(const std::wstring& a, const std::wstring& b) {
  const int folded = CompareNatural(FoldCaseText(a), FoldCaseText(b));
  if (folded != 0) return folded < 0;
  return a < b;
}

CFolderListing ListFolderFiles(const std::wstring& root, const FileNameFilter& keep) {
  CListingWalk walk{keep, {}, {}};
  walk.List(root, 0);
  return std::move(walk.listing);
}
