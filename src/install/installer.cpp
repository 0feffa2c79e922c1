// The work of the install dialog's Install button.
#include "install/installer.h"

#include <vector>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/trace.h"
#include "exec/program_lookup.h"
#include "install/checksum_list.h"
#include "install/download_addresses.h"
#include "install/download_policy.h"
#include "install/download_record.h"
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

// Looks the program up by its names (the program folder is the current directory) and traces
// the deciding code; true when one of them is found.
template <size_t N>
bool LookUpProgram(const wchar_t* const (&names)[N]) {
  int code = 0;
  std::wstring found;
  for (const wchar_t* name : names) {
    found.clear();
    code = FindExecutablePath(name, found);
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
// when the install cannot go on; the files it wrote are either all removed again (a refusal
// before the archives were checked) or kept and recorded.
class CInstallRun {
 public:
  CInstallRun(const std::wstring& folder, CInstallRefusal& refusal)
      : folder_(folder), base_(DownloadBase()), record_(folder), refusal_(refusal) {}

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

  // Downloads every archive (each is tried, as a failure is only reported at the end), then
  // checks each against the host's list.
  bool DownloadAndVerify(const std::vector<std::wstring>& archives) {
    CInstallRefusal first;
    for (const std::wstring& name : archives) {
      DownloadStatus status = FileDownTraced(base_ + name, folder_ + name);
      if (status == DOWNLOAD_OK) {
        created_.push_back(name);
      } else if (first.kind == REFUSAL_NONE) {
        first.kind =
            status == DOWNLOAD_REFUSED_REDIRECT ? REFUSAL_REDIRECT_NOT_HTTPS : REFUSAL_DOWNLOAD_FAILED;
        first.subject = base_ + name;
      }
    }
    if (first.kind != REFUSAL_NONE) return Refuse(first.kind, first.subject);
    CChecksumList list;
    if (!FetchChecksumList(list)) return Refuse(REFUSAL_CHECKSUM_LIST_MISSING, base_ + kChecksumListName);
    for (const std::wstring& name : archives) {
      std::string sum;
      if (!FileSha256(folder_ + name, sum)) return Refuse(REFUSAL_WRITE_FAILED, folder_);
      ChecksumCheck check = list.Check(name, sum);
      DebugLog(L"SHA256-%d-%s", static_cast<int>(check), name);
      if (check == CHECKSUM_NOT_LISTED) return Refuse(REFUSAL_CHECKSUM_NOT_LISTED, name);
      if (check != CHECKSUM_MATCH) return Refuse(REFUSAL_CHECKSUM_MISMATCH, name);
    }
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
    if (!joined || !MoveIntoPlace(temp, folder_ + target, record_.Holds(target))) {
      RemoveFile(temp);
      return Refuse(REFUSAL_WRITE_FAILED, folder_);
    }
    created_.push_back(target);
    return true;
  }

  // Unpacks the checked archive into the folder. A damaged archive is reported but kept, as
  // it is what the host published.
  bool Unpack(const std::wstring& archive) {
    std::vector<std::wstring> members;
    UnpackResult result = UnpackZip(
        folder_ + archive, folder_, [this](const std::wstring& name) { return record_.Holds(name); },
        members);
    created_.insert(created_.end(), members.begin(), members.end());
    if (result == UNPACK_DAMAGED) return Fail(REFUSAL_ARCHIVE_DAMAGED, archive);
    if (result != UNPACK_OK) return Fail(REFUSAL_WRITE_FAILED, folder_);
    return true;
  }

  // Records what this install wrote, so the uninstaller removes it; what cannot be recorded is
  // removed now.
  bool Keep() {
    if (created_.empty() || record_.Add(created_)) return true;
    RemoveCreated();
    return Refuse(REFUSAL_WRITE_FAILED, folder_);
  }

  bool Fail(InstallRefusalKind kind, const std::wstring& subject, const std::wstring& program = L"") {
    Keep();
    if (refusal_.kind == REFUSAL_NONE) refusal_ = CInstallRefusal{kind, subject, program};
    return false;
  }

 private:
  bool Refuse(InstallRefusalKind kind, const std::wstring& subject) {
    RemoveCreated();
    refusal_ = CInstallRefusal{kind, subject, L""};
    return false;
  }

  void RemoveCreated() {
    for (const std::wstring& name : created_) RemoveFile(folder_ + name);
    created_.clear();
  }

  // The list is fetched into a temporary file of the folder and read from there.
  bool FetchChecksumList(CChecksumList& list) {
    std::wstring temp;
    std::FILE* file = CreateTempFileIn(folder_, temp);
    if (file == nullptr) return false;
    std::fclose(file);
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
  CInstallRefusal& refusal_;
  std::vector<std::wstring> created_;
};

std::wstring InstallFfmpeg(CInstallRefusal& refusal) {
  EnterProgramDir();
  if (LookUpProgram(kFfmpegNames)) return Outcome(TXT_INSTALL_ALREADY_THERE);
  CInstallRun run(ProgramDir(), refusal);
  bool unpacked = run.CanStart({kFfmpegPart1, kFfmpegPart2, kFfmpegArchive}) &&
                  run.DownloadAndVerify({kFfmpegPart1, kFfmpegPart2}) &&
                  run.Join({kFfmpegPart1, kFfmpegPart2}, kFfmpegArchive) && run.Unpack(kFfmpegArchive) &&
                  run.Keep();
  if (LookUpProgram(kFfmpegNames)) return Outcome(TXT_INSTALL_SUCCEEDED);
  if (unpacked) run.Fail(REFUSAL_PROGRAM_NOT_IN_ARCHIVE, kFfmpegArchive, L"ffmpeg.exe");
  return Outcome(TXT_INSTALL_FAILED);
}

std::wstring InstallMediaInfo(CInstallRefusal& refusal) {
  EnterProgramDir();
  if (ProgramFileExists(GetProgramDir(), kMediaInfoFiles)) return Outcome(TXT_INSTALL_ALREADY_THERE);
  CInstallRun run(ProgramDir(), refusal);
  bool unpacked = run.CanStart({kMediaInfoArchive}) && run.DownloadAndVerify({kMediaInfoArchive}) &&
                  run.Unpack(kMediaInfoArchive) && run.Keep();
  if (LookUpProgram(kMediaInfoNames)) return Outcome(TXT_INSTALL_SUCCEEDED);
  if (unpacked) run.Fail(REFUSAL_PROGRAM_NOT_IN_ARCHIVE, kMediaInfoArchive, L"MediaInfo.exe");
  return Outcome(TXT_INSTALL_FAILED);
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
