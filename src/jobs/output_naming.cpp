#include "jobs/output_naming.h"

#include <cwchar>

#include "base/file_identity.h"
#include "base/file_util.h"
#include "base/text.h"
#include "base/trace.h"

namespace {
constexpr size_t kNumberTailLength = 5;  // "_(NN)"
constexpr size_t kMinStemForNumber = 7;
constexpr int kFirstNumber = 2;
const wchar_t kNumberedFormat[] = L"%s_(%02d).%s";
const wchar_t kJoinedSuffix[] = L"_ALL.";

// The number a stem already carries: its last five characters scanned as "_(%d)", 0 when
// none is read. What follows the integer is not checked, so "_(999" reads 999.
int ReadNumberTail(const std::wstring& tail) {
  int number = 0;
  if (std::swscanf(tail.c_str(), L"_(%d)", &number) != 1) return 0;
  return number;
}

// A stem that ends in its own number gives it up: numbering goes on from there on the base
// name, so clip_(03) gives clip_(04), never clip_(03)_(02). The counter to start from.
int TakeNumberTail(std::wstring& stem, const std::wstring& ext, bool trace) {
  if (stem.size() < kMinStemForNumber) return kFirstNumber;
  const std::wstring tail = stem.substr(stem.size() - kNumberTailLength);
  const int number = ReadNumberTail(tail);
  if (trace) DebugLog(L"GetOutputFileName - 1- %s, %s -> %s, (%d) ", stem, ext, tail, number);
  int counter = kFirstNumber;
  if (number >= kFirstNumber) {
    counter = number;
    stem.resize(stem.size() - kNumberTailLength);
  }
  if (trace) DebugLog(L"GetOutputFileName - 2 - %s", stem);
  return counter;
}

bool IsSeparator(wchar_t c) {
#ifdef _WIN32
  return c == L'\\' || c == L'/' || c == L':';
#else
  return c == L'/';
#endif
}

// Counting goes on past 99 as long as names are taken: handing back a taken name would let
// ffmpeg ("-y") overwrite a file, or two outputs of one run share a name. The candidates are
// made beside the input and looked up where they go (InOutputFolder); skipFirst passes over the
// first candidate whatever the folder holds.
std::wstring NumberOn(std::wstring candidate, const std::wstring& stem, int counter, const std::wstring& ext,
                      const COutputReservations* reserved, bool trace, const std::wstring& folder,
                      bool skipFirst) {
  COutputReservations none;
  const COutputReservations& taken = reserved != nullptr ? *reserved : none;
  while (skipFirst || taken.IsTaken(InOutputFolder(folder, candidate))) {
    skipFirst = false;
    candidate = Sprintf(kNumberedFormat, stem, counter, ext);
    if (trace) DebugLog(L"%d - %s", counter, InOutputFolder(folder, candidate));
    ++counter;
  }
  return InOutputFolder(folder, candidate);
}

std::wstring FirstFreeNameIn(const std::wstring& folder, const std::wstring& path,
                             const COutputReservations* reserved) {
  std::wstring stem, ext;
  if (!SplitFileExt(path, stem, ext)) return InOutputFolder(folder, path);
  int counter = TakeNumberTail(stem, ext, false);
  return NumberOn(path, stem, counter, ToLowerText(ext), reserved, false, folder, false);
}

void ApplyExtensionOverrides(const JobSettings& settings, std::wstring& ext) {
  if (settings.containerMp4) ext = L"mp4";
  if (settings.containerMkv) ext = L"mkv";
  if (settings.outputCodec == OUT_GIF) ext = L"gif";
  if (settings.outputCodec == OUT_WAV) ext = L"wav";
  if (settings.outputCodec == OUT_MP3) ext = L"mp3";
}

// Only the encoders' containers are written for H.264 and H.265; a video extract always
// gives MP4.
void ApplyVideoContainerRule(const JobSettings& settings, std::wstring& ext) {
  const bool videoCodec = settings.outputCodec == OUT_H264 || settings.outputCodec == OUT_H265;
  if (!videoCodec || settings.jobKind == JOB_AUDIO_EXTRACT || OutputKindOf(settings) != OUTPUT_VIDEO) return;
  if (ext != L"mp4" && ext != L"mkv") ext = L"mp4";
  if (ext == L"mkv" && settings.jobKind == JOB_VIDEO_EXTRACT) ext = L"mp4";
}
// The folder path lies in below root ("" for a file of root itself); false when path is not
// below root, or a folder on the way is empty, "." or "..", which could lead out of the tree.
bool FolderBelowRoot(const std::wstring& root, const std::wstring& path, std::wstring& folder) {
  if (root.empty()) return false;
  const size_t start = IsSeparator(root.back()) ? root.size() : root.size() + 1;
  if (path.size() <= start || path.compare(0, root.size(), root) != 0 ||
      (start > root.size() && !IsSeparator(path[root.size()])))
    return false;
  size_t nameStart = path.size();
  while (nameStart > start && !IsSeparator(path[nameStart - 1])) --nameStart;
  folder = nameStart > start ? path.substr(start, nameStart - 1 - start) : std::wstring();
  size_t part = 0;
  while (!folder.empty() && part <= folder.size()) {
    size_t end = part;
    while (end < folder.size() && !IsSeparator(folder[end])) ++end;
    const std::wstring name = folder.substr(part, end - part);
    if (name.empty() || name == L"." || name == L"..") return false;
    part = end + 1;
  }
  return true;
}
}  // namespace

bool COutputReservations::IsTaken(const std::wstring& path) const {
  // A key costs a look at the folder: none is made while nothing is reserved.
  return FileExists(path) || (!files_.empty() && files_.count(FileKey(path)) != 0);
}

void COutputReservations::Reserve(const std::wstring& path) { files_.insert(FileKey(path)); }

std::wstring InOutputFolder(const std::wstring& folder, const std::wstring& path) {
  if (folder.empty()) return path;
  size_t nameStart = path.size();
  while (nameStart > 0 && !IsSeparator(path[nameStart - 1])) --nameStart;
  std::wstring placed = folder;
  if (!IsSeparator(placed.back())) placed += kPathSeparator;
  return placed + path.substr(nameStart);
}

std::wstring OutputFolderFor(const JobSettings& settings, const std::wstring& inputPath) {
  if (settings.outputFolder.empty()) return settings.outputFolder;
  std::wstring below;
  size_t outermost = std::wstring::npos;
  for (const std::wstring& root : settings.folderRoots) {
    std::wstring folder;
    if (root.size() < outermost && FolderBelowRoot(root, inputPath, folder)) {
      outermost = root.size();
      below = folder;
    }
  }
  if (below.empty()) return settings.outputFolder;
  std::wstring placed = settings.outputFolder;
  if (!IsSeparator(placed.back())) placed += kPathSeparator;
  return placed + below;
}

bool GetOutputFileName(const JobSettings& settings, const std::wstring& inputPath, std::wstring& out,
                       const COutputReservations* reserved) {
  const size_t dot = inputPath.rfind(L'.');
  const long long length = static_cast<long long>(inputPath.size());
  const long long dotPos = dot == std::wstring::npos ? -1 : static_cast<long long>(dot);
  if (length - dotPos <= 1) return false;

  DebugLog(L"GetOutputFileName - %s", inputPath);

  std::wstring stem = dot == std::wstring::npos ? std::wstring() : inputPath.substr(0, dot);
  std::wstring ext = dot == std::wstring::npos ? inputPath : inputPath.substr(dot + 1);
  std::wstring candidate = inputPath;
  const std::wstring folder = OutputFolderFor(settings, inputPath);

  if (settings.jobKind == JOB_MERGE_FILES) {
    // The intermediate transport stream, by the same name the join step is given.
    GetIntermediatePath(inputPath, candidate, reserved, folder);
  } else {
    if (settings.jobKind != JOB_AUDIO_EXTRACT) ApplyExtensionOverrides(settings, ext);
    int counter = TakeNumberTail(stem, ext, true);
    ext = ToLowerText(ext);
    ApplyVideoContainerRule(settings, ext);
    // The input itself is the first candidate, so an existing input always gets a number. In an
    // output folder its name is passed over just as it would be beside it: an output is named as
    // beside its input, numbered on past whatever that folder holds.
    const bool inputThere =
        !folder.empty() && (reserved != nullptr ? reserved->IsTaken(inputPath) : FileExists(inputPath));
    candidate = NumberOn(candidate, stem, counter, ext, reserved, true, folder, inputThere);
  }

  DebugLog(L"GetOutputFileName - END - %s -> [%s , %s],\n%s , ret=%d", inputPath, stem, ext, candidate, 0);
  out = candidate;
  return true;
}

std::wstring FirstFreeName(const std::wstring& path, const COutputReservations* reserved) {
  return FirstFreeNameIn(std::wstring(), path, reserved);
}

bool GetIntermediatePath(const std::wstring& inputPath, std::wstring& out,
                         const COutputReservations* reserved, const std::wstring& outputFolder) {
  std::wstring stem, ext;
  if (!SplitFileExt(inputPath, stem, ext)) return false;
  out = FirstFreeNameIn(outputFolder, stem + L".ts", reserved);
  return true;
}

bool GetJoinedOutputPath(const std::wstring& firstEntry, std::wstring& out,
                         const COutputReservations* reserved, const std::wstring& outputFolder) {
  std::wstring stem, ext;
  if (!SplitFileExt(firstEntry, stem, ext)) return false;
  out = FirstFreeNameIn(outputFolder, stem + kJoinedSuffix + ext, reserved);
  return true;
}

std::wstring GetAudioExtractPath(const JobSettings& settings, const std::wstring& outputPath,
                                 const std::wstring& extension, const COutputReservations* reserved) {
  std::wstring stem, ext;
  SplitFileExt(outputPath, stem, ext);
  std::wstring codecNamed = Sprintf(L"%s.%s", stem, extension);
  // The output path lies where it goes already: the codec-named file is numbered there.
  JobSettings where = settings;
  where.outputFolder.clear();
  std::wstring named;
  std::wstring result = codecNamed;
  if (GetOutputFileName(where, codecNamed, named, reserved)) result = named;
  DebugLog(L"오디오 추출, %s, %s, %s, %s", result, stem, extension, named);
  return result;
}
