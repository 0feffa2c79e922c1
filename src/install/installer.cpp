// The work of the install dialog's Install button.
#include "install/installer.h"

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/trace.h"
#include "exec/command_interpreter.h"
#include "exec/program_lookup.h"
#include "install/download_addresses.h"

namespace {

constexpr const wchar_t* kDoneText = L"OK! 설치 완료";
constexpr const wchar_t* kSuccessText = L"OK! 설치 성공";
constexpr const wchar_t* kFailureText = L"Error!! 설치 실패";

constexpr const wchar_t* kJoinCommand = L"copy /b ffmpeg.zip.001 + ffmpeg.zip.002  ffmpeg.zip";
constexpr const wchar_t* kFfmpegUnpackCommand = L"unzip ffmpeg.zip";
constexpr const wchar_t* kMediaInfoUnpackCommand = L"unzip MediaInfo.zip";

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

std::wstring InstallFfmpeg() {
  EnterProgramDir();
  if (LookUpProgram(kFfmpegNames)) return kDoneText;
  // The results are not examined: the lookup after unpacking decides.
  FileDown(DownloadAddress(kFfmpegPart1), ProgramDir() + kFfmpegPart1);
  FileDown(DownloadAddress(kFfmpegPart2), ProgramDir() + kFfmpegPart2);
  RunCommandLine(kJoinCommand);
  RunCommandLine(kFfmpegUnpackCommand);
  return LookUpProgram(kFfmpegNames) ? kSuccessText : kFailureText;
}

std::wstring InstallMediaInfo() {
  EnterProgramDir();
  if (ProgramFileExists(GetProgramDir(), kMediaInfoFiles)) return kDoneText;
  FileDown(DownloadAddress(kMediaInfoArchive), ProgramDir() + kMediaInfoArchive);
  RunCommandLine(kMediaInfoUnpackCommand);
  return LookUpProgram(kMediaInfoNames) ? kSuccessText : kFailureText;
}

}  // namespace

std::wstring RunInstall(int32_t mode) {
  switch (mode) {
    case INSTALL_FFMPEG:
      return InstallFfmpeg();
    case INSTALL_MEDIAINFO:
      return InstallMediaInfo();
    default:
      return std::wstring();
  }
}
