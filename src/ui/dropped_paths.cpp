#include "ui/dropped_paths.h"

#include <shlobj.h>

#include <cstring>
#include <string>
#include <utility>

#include "base/text.h"

namespace {

// The zero-ended texts from begin on, up to the empty one that ends the list; false when the
// block ends first. Read a character at a time: a wide list may start at an odd offset.
template <typename Char, typename Convert>
bool ReadPathList(const BYTE* begin, const BYTE* end, Convert convert, std::vector<std::wstring>& paths) {
  std::basic_string<Char> path;
  for (const BYTE* at = begin; at + sizeof(Char) <= end; at += sizeof(Char)) {
    Char c;
    std::memcpy(&c, at, sizeof(Char));
    if (c != 0) {
      path.push_back(c);
      continue;
    }
    if (path.empty()) return true;
    paths.push_back(convert(path));
    path.clear();
  }
  return false;
}

// The paths read straight from the drop's block, as the shell lays it out: a DROPFILES header,
// then the paths, each ending in a zero, and an empty one after the last, wide or in the ANSI
// code page as the header says. One pass over the block: asking the shell for each path by its
// index walks the block from its start every time, which costs the square of a big drop's
// size. False when the block cannot be read so within its own size.
bool ReadDropBlock(HDROP drop, std::vector<std::wstring>& paths) {
  HGLOBAL memory = reinterpret_cast<HGLOBAL>(drop);
  const SIZE_T size = GlobalSize(memory);
  if (size < sizeof(DROPFILES)) return false;
  const auto* header = static_cast<const DROPFILES*>(GlobalLock(memory));
  if (!header) return false;
  bool read = false;
  if (header->pFiles >= sizeof(DROPFILES) && header->pFiles < size) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(header) + header->pFiles;
    const BYTE* end = reinterpret_cast<const BYTE*>(header) + size;
    if (header->fWide)
      read = ReadPathList<wchar_t>(
          begin, end, [](const std::wstring& path) { return path; }, paths);
    else
      read = ReadPathList<char>(
          begin, end, [](const std::string& path) { return AnsiToWide(path); }, paths);
  }
  GlobalUnlock(memory);
  return read;
}

// Each path asked of the shell by its index, into room for exactly its length. One that reads
// as empty is left out.
std::vector<std::wstring> QueryEachPath(HDROP drop, UINT count) {
  std::vector<std::wstring> paths;
  paths.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileW(drop, i, nullptr, 0);
    if (length == 0) continue;
    std::wstring path(length + 1, L'\0');
    UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
    if (copied == 0) continue;
    path.resize(copied);
    paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace

// The block is taken as read only when it lists as many paths as the shell counts in it; any
// other drop is read the shell's way.
std::vector<std::wstring> DroppedPaths(HDROP drop) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::wstring> paths;
  if (ReadDropBlock(drop, paths) && paths.size() == count) return paths;
  return QueryEachPath(drop, count);
}
