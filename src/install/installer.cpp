// The work of the install dialog's Install button.
#include "install/installer.h"

#include <utility>
#include <vector>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "base/trace.h"
#include "exec/program_lookup.h"
#include "install/checksum_list.h"
#include "install/download_addresses.h"
#include "install/download_policy.h"
#include "install/download_record.h"
#include "install/download_sums.h"
#include "install/file_down.h"
#include "install/install_files.h"
#include "install/sha256.h"
#include "install/zip_unpack.h"

namespace {

// The outcomes read the same in every language.
std::wstring Outcome(TextId outcome) { return Text(outcome, kUiLanguageKorean); }
constexpr size_t kMaxChecksumListBytes = 1 << 20;

// The names each program is looked up by. Windows file names ignore case; elsewhere the
// lower-case name also finds a native build ("mediainfo"), as FindExecutablePath tries every
// name with and without ".exe".
#ifdef _WIN32
const wchar_t* const kFfmpegNames[] = {L"ffmpeg.exe"};
const wchar_t* const kMediaInfoNames[] = {L"MediaInfo.exe"};
const wchar_t* const kMediaInfoFiles[] = {L"MediaInfo.exe"};
#else
const wchar_t* const kFfmpegNames[] = {L"ffmpeg.exe"};
const wchar_t* const kMediaInfoNames[] = {L"MediaInfo.exe", L"mediainfo.exe"};
const wchar_t* const kMediaInfoFiles[] = {L"MediaInfo.exe", L"mediainfo.exe", L"MediaInfo", L"mediainfo"};
#endif

// What the lookup answers for a program found in a program folder it looked into directly.
constexpr int kFoundInFolder = 42;
constexpr int kNotFound = 2;

// Looks the program up by its names (the program folder is the current directory) and traces
// the deciding code; true when one of them is found. Windows takes no current directory as
// long as a path that needs the \\?\ form, so such a program folder is looked into directly.
template <size_t N>
bool LookUpProgram(const wchar_t* const (&names)[N]) {
  const std::wstring folder = ProgramDir();
  const bool direct = LongPathForm(folder) != folder;
  int code = 0;
  std::wstring found;
  for (const wchar_t* name : names) {
    found.clear();
    if (!direct) {
      code = FindExecutablePath(name, found);
    } else if (FileExists(folder + name)) {
      code = kFoundInFolder;
      found = folder + name;
    } else {
      code = kNotFound;
    }
    if (code >= 32) break;
  }
  DebugLog(L"%X(%d)-[%s]", code, code, found);
  return code >= 32;
}

template <size_t N>
bool ProgramFileExists(const std::wstring& folder, const wchar_t* const (&names)[N]) {
  for (const wchar_t* name : names) {
    if (FileExists(folder + name)) return true;
  }
  return false;
}

// One install's steps in the program folder. Each returns false, with the refusal filled in,
// when the install cannot go on; every file it wrote then goes again, and a file of an earlier
// install it replaced comes back. Only Keep makes the changes stand.
class CInstallRun {
 public:
  CInstallRun(const std::wstring& folder, CInstallRefusal& refusal)
      : folder_(folder),
        base_(DownloadBase()),
        record_(folder),
        accepted_(AcceptedDownloadSums()),
        changes_(folder),
        refusal_(refusal) {}
  ~CInstallRun() { RemoveDownloads(); }

  // The download address is one the policy allows, and no file of the user's stands where
  // the install would write.
  bool CanStart(const std::vector<std::wstring>& names) {
    if (!IsDownloadAddressAllowed(base_)) return Refuse(REFUSAL_ADDRESS_NOT_HTTPS, base_);
    if (record_.Foreign()) return Refuse(REFUSAL_NAME_TAKEN, kDownloadRecordName);
    for (const std::wstring& name : names) {
      if (FileExists(folder_ + name) && !record_.Holds(name)) return Refuse(REFUSAL_NAME_TAKEN, name);
    }
    return true;
  }

  // Downloads every archive into a file of its own (each is tried, as a failure is only
  // reported at the end), checks each against the host's list and then against the sums the
  // release accepts, and only then gives them their names.
  bool DownloadAndVerify(const std::vector<std::wstring>& archives) {
    CInstallRefusal first;
    for (const std::wstring& name : archives) {
      std::wstring temp = NewFile();
      DownloadStatus status = temp.empty() ? DOWNLOAD_FAILED : DownloadToFile(base_ + name, temp);
      TraceFileDown(status, base_ + name, folder_ + name);
      if (status == DOWNLOAD_OK) {
        downloads_.push_back({name, temp});
        continue;
      }
      RemoveFile(temp);
      if (first.kind != REFUSAL_NONE) continue;
      first.kind = status == DOWNLOAD_REFUSED_REDIRECT ? REFUSAL_REDIRECT_NOT_HTTPS : REFUSAL_DOWNLOAD_FAILED;
      first.subject = base_ + name;
    }
    if (first.kind != REFUSAL_NONE) return Refuse(first.kind, first.subject);
    CChecksumList list;
    if (!FetchChecksumList(list)) return Refuse(REFUSAL_CHECKSUM_LIST_MISSING, base_ + kChecksumListName);
    std::vector<std::string> sums;
    for (const CDownload& download : downloads_) {
      std::string sum;
      if (!FileSha256(download.temp, sum)) return Refuse(REFUSAL_WRITE_FAILED, folder_);
      ChecksumCheck check = list.Check(download.name, sum);
      DebugLog(L"SHA256-%d-%s", static_cast<int>(check), download.name);
      if (check == CHECKSUM_NOT_LISTED) return Refuse(REFUSAL_CHECKSUM_NOT_LISTED, download.name);
      if (check != CHECKSUM_MATCH) return Refuse(REFUSAL_CHECKSUM_MISMATCH, download.name);
      sums.push_back(sum);
    }
    // The host vouches only for its own files; the release decides what may run here.
    for (size_t i = 0; i < downloads_.size(); ++i) {
      if (accepted_.Accepts(sums[i])) continue;
      DebugLog(L"SHA256-not accepted-%s-%s", downloads_[i].name, Utf8ToWide(sums[i]));
      return Refuse(REFUSAL_NOT_ACCEPTED, downloads_[i].name);
    }
    for (const CDownload& download : downloads_) {
      if (!changes_.Place(download.temp, download.name, record_.Holds(download.name)))
        return Refuse(REFUSAL_WRITE_FAILED, folder_);
    }
    downloads_.clear();
    return true;
  }

  // Writes the parts one after the other, byte for byte, into target.
  bool Join(const std::vector<std::wstring>& parts, const std::wstring& target) {
    std::wstring temp;
    std::FILE* out = CreateTempFileIn(folder_, temp);
    if (out == nullptr) return Refuse(REFUSAL_WRITE_FAILED, folder_);
    bool joined = true;
    for (const std::wstring& part : parts) joined = joined && AppendFileTo(folder_ + part, out);
    joined = CloseWrittenFile(out) && joined;
    if (!joined) RemoveFile(temp);
    if (!joined || !changes_.Place(temp, target, record_.Holds(target)))
      return Refuse(REFUSAL_WRITE_FAILED, folder_);
    return true;
  }

  // Unpacks the checked archive into the folder.
  bool Unpack(const std::wstring& archive) {
    std::wstring fault;
    UnpackResult result = UnpackZip(
        folder_ + archive, folder_, [this](const std::wstring& name) { return record_.Holds(name); },
        changes_, fault);
    switch (result) {
      case UNPACK_OK:
        return true;
      case UNPACK_MEMBER_TOO_LARGE:
        return Refuse(REFUSAL_MEMBER_TOO_LARGE, fault);
      case UNPACK_TOO_LARGE:
        return Refuse(REFUSAL_ARCHIVE_TOO_LARGE, archive);
      case UNPACK_RESERVED_NAME:
        return Refuse(REFUSAL_RESERVED_NAME, fault);
      case UNPACK_DAMAGED:
        return Refuse(REFUSAL_ARCHIVE_DAMAGED, archive);
      default:
        return Refuse(REFUSAL_WRITE_FAILED, folder_);
    }
  }

  // Records what this install wrote, so the uninstaller removes it, and lets it stand; what
  // cannot be recorded goes again.
  bool Keep() {
    if (!changes_.Placed().empty() && !record_.Add(changes_.Placed()))
      return Refuse(REFUSAL_WRITE_FAILED, folder_);
    changes_.Commit();
    return true;
  }

  // The subject is taken by value: it may name one of the downloads that go here.
  bool Refuse(InstallRefusalKind kind, std::wstring subject, const std::wstring& program = L"") {
    if (refusal_.kind == REFUSAL_NONE) refusal_ = CInstallRefusal{kind, std::move(subject), program};
    RemoveDownloads();
    changes_.Undo();
    return false;
  }

 private:
  struct CDownload {
    std::wstring name;
    std::wstring temp;  // where it landed, until it gets its name
  };

  // A fresh, empty file of the folder's own; empty when none can be made.
  std::wstring NewFile() {
    std::wstring temp;
    std::FILE* file = CreateTempFileIn(folder_, temp);
    if (file != nullptr) std::fclose(file);
    return temp;
  }

  void RemoveDownloads() {
    for (const CDownload& download : downloads_) RemoveFile(download.temp);
    downloads_.clear();
  }

  // The list is fetched into a temporary file of the folder and read from there.
  bool FetchChecksumList(CChecksumList& list) {
    std::wstring temp = NewFile();
    if (temp.empty()) return false;
    std::wstring url = base_ + kChecksumListName;
    DownloadStatus status = DownloadToFile(url, temp);
    DebugLog(L"ChecksumList-ret=%d, %s", status == DOWNLOAD_OK ? 1 : 0, url);
    std::string text;
    bool read = status == DOWNLOAD_OK && ReadTextFile(temp, text, kMaxChecksumListBytes);
    RemoveFile(temp);
    return read && list.Parse(text);
  }

  std::wstring folder_;
  std::wstring base_;
  CDownloadRecord record_;
  CAcceptedSums accepted_;
  CFolderChanges changes_;
  CInstallRefusal& refusal_;
  std::vector<CDownload> downloads_;
};

// The install's end: the program looked up once more (and traced, whatever came before); the
// changes stand only when it is found.
std::wstring Finish(CInstallRun& run, bool unpacked, bool found, const std::wstring& archive,
                    const wchar_t* program) {
  if (found) return !unpacked || run.Keep() ? Outcome(TXT_INSTALL_SUCCEEDED) : Outcome(TXT_INSTALL_FAILED);
  if (unpacked) run.Refuse(REFUSAL_PROGRAM_NOT_IN_ARCHIVE, archive, program);
  return Outcome(TXT_INSTALL_FAILED);
}

std::wstring InstallFfmpeg(CInstallRefusal& refusal) {
  EnterProgramDir();
  if (LookUpProgram(kFfmpegNames)) return Outcome(TXT_INSTALL_ALREADY_THERE);
  CInstallRun run(ProgramDir(), refusal);
  bool unpacked = run.CanStart({kFfmpegPart1, kFfmpegPart2, kFfmpegArchive}) &&
                  run.DownloadAndVerify({kFfmpegPart1, kFfmpegPart2}) &&
                  run.Join({kFfmpegPart1, kFfmpegPart2}, kFfmpegArchive) && run.Unpack(kFfmpegArchive);
  return Finish(run, unpacked, LookUpProgram(kFfmpegNames), kFfmpegArchive, L"ffmpeg.exe");
}

std::wstring InstallMediaInfo(CInstallRefusal& refusal) {
  EnterProgramDir();
  if (ProgramFileExists(GetProgramDir(), kMediaInfoFiles)) return Outcome(TXT_INSTALL_ALREADY_THERE);
  CInstallRun run(ProgramDir(), refusal);
  bool unpacked = run.CanStart({kMediaInfoArchive}) && run.DownloadAndVerify({kMediaInfoArchive}) &&
                  run.Unpack(kMediaInfoArchive);
  return Finish(run, unpacked, LookUpProgram(kMediaInfoNames), kMediaInfoArchive, L"MediaInfo.exe");
}

}  // namespace

std::wstring RunInstall(int32_t mode, CInstallRefusal* refusal) {
  CInstallRefusal ignored;
  CInstallRefusal& why = refusal != nullptr ? *refusal : ignored;
  why = CInstallRefusal();
  switch (mode) {
    case INSTALL_FFMPEG:
      return InstallFfmpeg(why);
    case INSTALL_MEDIAINFO:
      return InstallMediaInfo(why);
    default:
      return std::wstring();
  }
}
