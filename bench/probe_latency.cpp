// Probe latency, side by side in one run: ProbeMediaFile on a real file (the batch file,
// MediaInfo, the wait for media.txt, the parse) against running "mediainfo FILE > report"
// directly. Pairs alternate which goes first; prints every pair, the medians and the median
// of the per-pair ratios. Run by bench/probe_latency.sh natively and under Wine.
//   probe_latency FILE [PAIRS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "exec/program_lookup.h"
#include "probe/probe_runner.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace fs = std::filesystem;

namespace {

// The direct way: MediaInfo with its standard output going to the report file.
bool RunMediaInfoDirectly(const std::wstring& mediaInfo, const std::wstring& input,
                          const std::wstring& report) {
#ifdef _WIN32
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
  HANDLE out = CreateFileW(report.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &security, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring line = L"\"" + mediaInfo + L"\" \"" + input + L"\"";
  PROCESS_INFORMATION process{};
  BOOL started =
      CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(out);
  if (!started) return false;
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
#else
  std::string program = WideToUtf8(mediaInfo), file = WideToUtf8(input), target = WideToUtf8(report);
  char* argv[] = {&program[0], &file[0], nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  int result = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

double Milliseconds(const std::function<bool()>& run, bool& ok) {
  auto start = std::chrono::steady_clock::now();
  ok = run();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: probe_latency FILE [PAIRS]\n");
    return 2;
  }
  std::wstring input = AnsiToWide(argv[1]);
  int pairs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;

  // A program folder of its own, holding what the probe needs, so no other media.txt is hit.
  std::wstring folder = (fs::temp_directory_path() / "kestrune-probe-latency").wstring();
  folder += kPathSeparator;
  fs::create_directories(FsPath(folder));
  for (const wchar_t* file : {L"exec.bat", L"exec.sh", L"mediainfo.exe"}) {
    std::error_code code;
    if (FileExists(GetProgramDir() + file))
      fs::copy_file(FsPath(GetProgramDir() + file), FsPath(folder + file),
                    fs::copy_options::overwrite_existing, code);
  }
  SetProgramDir(folder);
  std::wstring mediaInfo = MediaInfoProgramPath();
  if (mediaInfo.empty() || !FileExists(input)) {
    std::fprintf(stderr, "probe_latency: MediaInfo or the input is missing\n");
    return 1;
  }
  std::wstring directReport = folder + L"direct.txt";

  auto probe = [&] {
    MediaDesc media;
    return ProbeMediaFile(input, media);
  };
  auto direct = [&] { return RunMediaInfoDirectly(mediaInfo, input, directReport); };

  bool ok = true;
  Milliseconds(probe, ok);  // warm-up pair, not counted
  Milliseconds(direct, ok);
  std::vector<double> probeTimes, directTimes, ratios;
  for (int i = 0; i < pairs; ++i) {
    bool probeOk = false, directOk = false;
    double p, d;
    if (i % 2 == 0) {
      p = Milliseconds(probe, probeOk);
      d = Milliseconds(direct, directOk);
    } else {
      d = Milliseconds(direct, directOk);
      p = Milliseconds(probe, probeOk);
    }
    if (!probeOk || !directOk) {
      std::fprintf(stderr, "probe_latency: pair %d failed (probe %d, direct %d)\n", i + 1, probeOk, directOk);
      return 1;
    }
    probeTimes.push_back(p);
    directTimes.push_back(d);
    ratios.push_back(p / d);
    std::printf("pair %2d  ProbeMediaFile %8.2f ms   mediainfo > report %8.2f ms   ratio %.3f\n", i + 1, p, d,
                p / d);
  }
  std::printf(
      "median  ProbeMediaFile %8.2f ms   mediainfo > report %8.2f ms   median ratio %.3f  (%d pairs)\n",
      Median(probeTimes), Median(directTimes), Median(ratios), pairs);
  std::error_code code;
  fs::remove_all(FsPath(folder), code);
  return 0;
}
