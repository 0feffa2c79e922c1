#include "install/zip_unpack.h"

#include <zlib.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdint>
#include <cstdio>
#include <memory>

#include "base/file_util.h"
#include "base/text.h"
#include "base/trace.h"
#include "install/download_record.h"
#include "install/install_files.h"

namespace {

constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kZip64EndLocator = 0x07064b50;
constexpr uint32_t kZip64End = 0x06064b50;
constexpr uint32_t kDirectoryEntry = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint16_t kFlagEncrypted = 1;
constexpr uint16_t kFlagUtf8Name = 1 << 11;

struct CFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, CFileCloser>;

FilePtr OpenForReading(const std::wstring& path) { return FilePtr(OpenBinaryFile(path)); }

bool Seek(std::FILE* file, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<int64_t>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool ReadAt(std::FILE* file, uint64_t offset, std::string& bytes, size_t size) {
  bytes.assign(size, '\0');
  return Seek(file, offset) && std::fread(&bytes[0], 1, size, file) == size;
}

uint64_t Little(const std::string& bytes, size_t at, int width) {
  uint64_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// One member as the central directory describes it.
struct CMember {
  std::wstring name;
  bool plain = false;  // a top-level file of a plain name
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t crc = 0;
  uint64_t packedSize = 0;
  uint64_t size = 0;
  uint64_t headerOffset = 0;
  bool executable = false;  // a Unix archive's member with an execute bit
};

// Where the central directory starts and how many entries it holds, from its end record (or the
// zip64 one, for archives beyond 4 GB or 65535 members).
bool FindDirectory(std::FILE* file, uint64_t fileSize, uint64_t& offset, uint64_t& count) {
  uint64_t tail = fileSize < 65557 ? fileSize : 65557;
  std::string bytes;
  if (tail < 22 || !ReadAt(file, fileSize - tail, bytes, static_cast<size_t>(tail))) return false;
  for (size_t at = bytes.size() - 22 + 1; at-- > 0;) {
    if (Little(bytes, at, 4) != kEndOfDirectory) continue;
    count = Little(bytes, at + 10, 2);
    offset = Little(bytes, at + 16, 4);
    uint64_t endAt = fileSize - tail + at;
    if (count != 0xFFFF && offset != 0xFFFFFFFF) return true;
    std::string locator;
    if (endAt < 20 || !ReadAt(file, endAt - 20, locator, 20) || Little(locator, 0, 4) != kZip64EndLocator) {
      return false;
    }
    std::string end64;
    if (!ReadAt(file, Little(locator, 8, 8), end64, 56) || Little(end64, 0, 4) != kZip64End) return false;
    count = Little(end64, 32, 8);
    offset = Little(end64, 48, 8);
    return true;
  }
  return false;
}

// The zip64 extra field holds, in this order, whichever of the sizes and the offset did not fit.
void ReadZip64Extra(const std::string& extra, CMember& member) {
  size_t at = 0;
  while (at + 4 <= extra.size()) {
    uint64_t id = Little(extra, at, 2), length = Little(extra, at + 2, 2);
    size_t field = at + 4;
    at = field + static_cast<size_t>(length);
    if (id != 1 || at > extra.size()) continue;
    size_t next = field;
    auto take = [&](uint64_t& value) {
      if (value != 0xFFFFFFFF || next + 8 > at) return;
      value = Little(extra, next, 8);
      next += 8;
    };
    take(member.size);
    take(member.packedSize);
    take(member.headerOffset);
  }
}

std::wstring MemberName(const std::string& raw, uint16_t flags) {
  bool ascii = true;
  for (char c : raw) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  // Names outside ASCII are taken only when the archive marks them as UTF-8; the old code
  // page of other archives is not guessed at.
  if (!ascii && (flags & kFlagUtf8Name) == 0) return std::wstring();
  return Utf8ToWide(raw);
}

bool ReadDirectory(std::FILE* file, uint64_t fileSize, std::vector<CMember>& members) {
  uint64_t offset = 0, count = 0;
  if (!FindDirectory(file, fileSize, offset, count) || offset >= fileSize) return false;
  uint64_t at = offset;
  for (uint64_t i = 0; i < count; ++i) {
    std::string fixed;
    if (!ReadAt(file, at, fixed, 46) || Little(fixed, 0, 4) != kDirectoryEntry) return false;
    size_t nameLength = Little(fixed, 28, 2), extraLength = Little(fixed, 30, 2),
           commentLength = Little(fixed, 32, 2);
    std::string name, extra;
    if (!ReadAt(file, at + 46, name, nameLength) || !ReadAt(file, at + 46 + nameLength, extra, extraLength)) {
      return false;
    }
    CMember member;
    member.flags = static_cast<uint16_t>(Little(fixed, 8, 2));
    member.method = static_cast<uint16_t>(Little(fixed, 10, 2));
    member.crc = static_cast<uint32_t>(Little(fixed, 16, 4));
    member.packedSize = Little(fixed, 20, 4);
    member.size = Little(fixed, 24, 4);
    member.headerOffset = Little(fixed, 42, 4);
    constexpr uint64_t kMadeOnUnix = 3;
    member.executable =
        (Little(fixed, 4, 2) >> 8) == kMadeOnUnix && ((Little(fixed, 38, 4) >> 16) & 0111) != 0;
    ReadZip64Extra(extra, member);
    member.name = MemberName(name, member.flags);
    member.plain =
        IsPlainFileName(member.name) && ToLowerText(member.name) != ToLowerText(kDownloadRecordName);
    members.push_back(member);
    at += 46 + nameLength + extraLength + commentLength;
  }
  return true;
}

// Copies or inflates the member's data from archive into out, checking its size and CRC. No
// byte beyond the size the member declares is written: the inflate stops as soon as more comes.
UnpackResult ExtractData(std::FILE* archive, uint64_t fileSize, const CMember& member, std::FILE* out) {
  std::string local;
  if (!ReadAt(archive, member.headerOffset, local, 30) || Little(local, 0, 4) != kLocalHeader)
    return UNPACK_DAMAGED;
  uint64_t dataAt = member.headerOffset + 30 + Little(local, 26, 2) + Little(local, 28, 2);
  if (dataAt > fileSize || member.packedSize > fileSize - dataAt || !Seek(archive, dataAt))
    return UNPACK_DAMAGED;
  bool deflated = member.method == kMethodDeflated;
  // A stored member is its own bytes: any other size is a lie of its header.
  if (!deflated && member.packedSize != member.size) return UNPACK_DAMAGED;
  z_stream stream{};
  if (deflated && inflateInit2(&stream, -MAX_WBITS) != Z_OK) return UNPACK_DAMAGED;
  std::vector<unsigned char> in(1 << 16), outBuffer(1 << 16);
  uint64_t left = member.packedSize, written = 0;
  uLong crc = crc32(0, Z_NULL, 0);
  int status = Z_OK;
  UnpackResult result = UNPACK_OK;
  while (result == UNPACK_OK && left > 0 && status != Z_STREAM_END) {
    size_t want = left < in.size() ? static_cast<size_t>(left) : in.size();
    if (std::fread(in.data(), 1, want, archive) != want) {
      result = UNPACK_DAMAGED;
      break;
    }
    left -= want;
    if (!deflated) {
      crc = crc32(crc, in.data(), static_cast<uInt>(want));
      written += want;
      if (std::fwrite(in.data(), 1, want, out) != want) result = UNPACK_WRITE_FAILED;
      continue;
    }
    stream.next_in = in.data();
    stream.avail_in = static_cast<uInt>(want);
    do {
      stream.next_out = outBuffer.data();
      stream.avail_out = static_cast<uInt>(outBuffer.size());
      status = inflate(&stream, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
        result = UNPACK_DAMAGED;
        break;
      }
      size_t produced = outBuffer.size() - stream.avail_out;
      if (produced > member.size - written) {
        result = UNPACK_MEMBER_TOO_LARGE;
        break;
      }
      crc = crc32(crc, outBuffer.data(), static_cast<uInt>(produced));
      written += produced;
      if (std::fwrite(outBuffer.data(), 1, produced, out) != produced) result = UNPACK_WRITE_FAILED;
    } while (result == UNPACK_OK && stream.avail_out == 0 && status != Z_STREAM_END);
  }
  if (deflated) {
    if (result == UNPACK_OK && status != Z_STREAM_END) result = UNPACK_DAMAGED;
    inflateEnd(&stream);
  }
  if (result == UNPACK_OK && (written != member.size || crc != member.crc)) result = UNPACK_DAMAGED;
  return result;
}

// Writes one member under a temporary name and gives it its own; a damaged member or one that
// cannot be written leaves nothing behind.
UnpackResult ExtractMember(std::FILE* archive, uint64_t fileSize, const CMember& member,
                           const std::wstring& folder, bool replace, CFolderChanges& changes) {
  std::wstring temp;
  std::FILE* out = CreateTempFileIn(folder, temp);
  if (out == nullptr) return UNPACK_WRITE_FAILED;
  UnpackResult result = ExtractData(archive, fileSize, member, out);
  if (!CloseWrittenFile(out) && result == UNPACK_OK) result = UNPACK_WRITE_FAILED;
  if (result != UNPACK_OK) {
    RemoveFile(temp);
    return result;
  }
#ifndef _WIN32
  // A program keeps its execute bit, as the archive gives it, so that it can be found and run.
  if (member.executable) chmod(PathToNative(temp).c_str(), 0755);
#endif
  return changes.Place(temp, member.name, replace) ? UNPACK_OK : UNPACK_WRITE_FAILED;
}

bool IsDirectoryEntry(const std::wstring& name) {
  return !name.empty() && (name.back() == L'/' || name.back() == L'\\');
}

// A member of the archive's top level: its name holds no folder.
bool IsTopLevel(const std::wstring& name) { return name.find_first_of(L"/\\") == std::wstring::npos; }

}  // namespace

UnpackResult UnpackZip(const std::wstring& archivePath, const std::wstring& folder,
                       const std::function<bool(const std::wstring& name)>& mayReplace,
                       CFolderChanges& changes, std::wstring& fault) {
  fault.clear();
  FilePtr archive = OpenForReading(archivePath);
  if (!archive) return UNPACK_DAMAGED;
  uint64_t fileSize = static_cast<uint64_t>(GetFileLength(archivePath));
  std::vector<CMember> members;
  if (!ReadDirectory(archive.get(), fileSize, members)) return UNPACK_DAMAGED;
  // Every name and the sizes are judged before the first byte is written.
  struct CChosen {
    const CMember* member;
    bool replace;
  };
  std::vector<CChosen> chosen;
  uint64_t declared = 0;
  for (const CMember& member : members) {
    if (IsDirectoryEntry(member.name)) continue;
    if (IsTopLevel(member.name) && IsWindowsReservedName(member.name)) {
      fault = member.name;
      return UNPACK_RESERVED_NAME;
    }
    bool supported = (member.flags & kFlagEncrypted) == 0 &&
                     (member.method == kMethodStored || member.method == kMethodDeflated);
    bool again = false;
    for (const CChosen& earlier : chosen)
      again = again || ToLowerText(earlier.member->name) == ToLowerText(member.name);
    bool taken = FileExists(folder + member.name);
    bool replace = taken && mayReplace(member.name);
    if (!member.plain || !supported || again || (taken && !replace)) {
      DebugLog(L"Unpack-left out-%s", member.name);
      continue;
    }
    chosen.push_back({&member, replace});
    declared += member.size < kMaxUnpackedBytes ? member.size : kMaxUnpackedBytes + 1;
    if (declared > kMaxUnpackedBytes || chosen.size() > kMaxUnpackedFiles) return UNPACK_TOO_LARGE;
  }
  for (const CChosen& entry : chosen) {
    UnpackResult result =
        ExtractMember(archive.get(), fileSize, *entry.member, folder, entry.replace, changes);
    if (result != UNPACK_OK) {
      if (result != UNPACK_WRITE_FAILED) fault = entry.member->name;
      return result;
    }
  }
  return UNPACK_OK;
}
