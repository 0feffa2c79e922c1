#include "support/media_fixtures.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/file_util.h"
#include "base/text.h"

#ifdef _WIN32
#include <windows.h>

#include "base/program_dir.h"
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

#ifdef _WIN32
std::wstring QuoteArgument(const std::wstring& arg) {
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"')
      out.append(backslashes * 2 + 1, L'\\');
    else
      out.append(backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

// Runs program.exe from the test's own folder; its output goes to a pipe when wanted.
bool RunProgram(const std::wstring& program, const std::vector<std::wstring>& args, std::string* output) {
  std::wstring line = QuoteArgument(GetProgramDir() + program + L".exe");
  for (const std::wstring& arg : args) line += L" " + QuoteArgument(arg);
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (output && !CreatePipe(&readEnd, &writeEnd, &security, 0)) return false;
  if (readEnd) SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  PROCESS_INFORMATION process{};
  std::wstring writable = line;
  BOOL started = CreateProcessW(nullptr, &writable[0], nullptr, nullptr, output ? TRUE : FALSE, 0, nullptr,
                                nullptr, &startup, &process);
  if (writeEnd) CloseHandle(writeEnd);
  if (!started) {
    if (readEnd) CloseHandle(readEnd);
    return false;
  }
  if (output) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output->append(buffer, got);
    CloseHandle(readEnd);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code == 0;
}
#else
bool RunProgram(const std::wstring& program, const std::vector<std::wstring>& args, std::string* output) {
  std::vector<std::string> narrow{WideToUtf8(program)};
  for (const std::wstring& arg : args) narrow.push_back(WideToUtf8(arg));
  std::vector<char*> argv;
  for (std::string& arg : narrow) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  int pipeFds[2] = {-1, -1};
  if (output && pipe(pipeFds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output) {
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
  }
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (output) {
    close(pipeFds[1]);
    if (rc == 0) {
      char buffer[4096];
      ssize_t got;
      while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output->append(buffer, static_cast<size_t>(got));
    }
    close(pipeFds[0]);
  }
  if (rc != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

std::vector<std::wstring> Lavfi(const std::wstring& graph) { return {L"-f", L"lavfi", L"-i", graph}; }

std::wstring Seconds(int seconds) { return std::to_wstring(seconds); }

std::wstring Video(const std::wstring& size, int seconds) {
  return L"testsrc=size=" + size + L":rate=25:duration=" + Seconds(seconds);
}

std::wstring Tone(int hz, int seconds) {
  return L"sine=frequency=" + std::to_wstring(hz) + L":sample_rate=48000:duration=" + Seconds(seconds);
}

void Append(std::vector<std::wstring>& to, const std::vector<std::wstring>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

bool WriteSubtitles(const std::wstring& path) {
  FILE* file = std::fopen(WideToAnsi(path).c_str(), "wb");
  if (!file) return false;
  std::fputs("1\n00:00:00,000 --> 00:00:01,000\nhello\n\n", file);
  std::fclose(file);
  return true;
}
}  // namespace

bool RunFfmpeg(const std::vector<std::wstring>& args) {
  std::vector<std::wstring> full{L"-hide_banner", L"-loglevel", L"error", L"-nostdin", L"-y"};
  Append(full, args);
  return RunProgram(L"ffmpeg", full, nullptr);
}

std::string CaptureProgramOutput(const std::wstring& program, const std::vector<std::wstring>& args) {
  std::string output;
  if (!RunProgram(program, args, &output)) return std::string();
  return output;
}

bool MakeClip(const ClipRecipe& recipe, const std::wstring& path) {
  const wchar_t* const languages[] = {L"eng", L"jpn", L"fre", L"ger"};
  std::vector<std::wstring> args;
  const bool video = !recipe.videoOptions.empty();
  const int tracks = recipe.audioOptions.empty() ? 0 : recipe.audioTracks;
  if (video) Append(args, Lavfi(Video(L"320x240", recipe.seconds)));
  for (int i = 0; i < tracks; ++i) {
    Append(args, Lavfi(L"sine=frequency=" + std::to_wstring(440 + 110 * i) + L":sample_rate=" +
                       std::to_wstring(recipe.sampleRate) + L":duration=" + Seconds(recipe.seconds)));
  }
  if (video) Append(args, {L"-map", L"0:v"});
  for (int i = 0; i < tracks; ++i) Append(args, {L"-map", std::to_wstring(video ? i + 1 : i) + L":a"});
  Append(args, recipe.videoOptions);
  if (tracks > 0) {
    Append(args, recipe.audioOptions);
    Append(args, {L"-ac", std::to_wstring(recipe.channels)});
  }
  for (int i = 0; i < tracks && i < 4; ++i)
    Append(args, {L"-metadata:s:a:" + std::to_wstring(i), std::wstring(L"language=") + languages[i]});
  Append(args, recipe.extraOptions);
  args.push_back(path);
  return RunFfmpeg(args);
}

bool MakeSample(Sample kind, const std::wstring& path, int seconds) {
  ClipRecipe clip;
  clip.seconds = seconds;
  switch (kind) {
    case Sample::WMV_WMA:
      clip.videoOptions = {L"-c:v", L"wmv2"};
      clip.audioOptions = {L"-c:a", L"wmav2", L"-b:a", L"128k"};
      return MakeClip(clip, path);
    case Sample::MPEG2_MP2_PS:
      clip.videoOptions = {L"-c:v", L"mpeg2video"};
      clip.audioOptions = {L"-c:a", L"mp2", L"-b:a", L"192k"};
      clip.extraOptions = {L"-f", L"vob"};
      return MakeClip(clip, path);
    case Sample::VP8_VORBIS_WEBM:
      clip.videoOptions = {L"-c:v",      L"libvpx", L"-deadline", L"realtime",
                           L"-cpu-used", L"8",      L"-b:v",      L"200k"};
      clip.audioOptions = {L"-c:a", L"libvorbis"};
      clip.sampleRate = 8000;
      clip.channels = 1;
      return MakeClip(clip, path);
    case Sample::FLAC_ONLY:
      clip.audioOptions = {L"-c:a", L"flac"};
      clip.sampleRate = 44100;
      return MakeClip(clip, path);
    case Sample::PCM_WAV:
      clip.audioOptions = {L"-c:a", L"pcm_s16le"};
      clip.sampleRate = 8000;
      clip.channels = 1;
      return MakeClip(clip, path);
    default:
      break;
  }
  std::vector<std::wstring> args;
  const std::wstring small = L"320x240";
  switch (kind) {
    case Sample::H264_AAC_MP4:
      Append(args, Lavfi(Video(small, seconds)));
      Append(args, Lavfi(Tone(440, seconds)));
      Append(args,
             {L"-c:v", L"libx264", L"-pix_fmt", L"yuv420p", L"-c:a", L"aac", L"-b:a", L"192k", L"-ac", L"2"});
      break;
    case Sample::NOISY_H264_MP4:
      Append(args, Lavfi(Video(small, seconds) + L",noise=alls=40:allf=t+u"));
      Append(args, Lavfi(Tone(440, seconds)));
      Append(args,
             {L"-c:v", L"libx264", L"-pix_fmt", L"yuv420p", L"-c:a", L"aac", L"-b:a", L"192k", L"-ac", L"2"});
      break;
    case Sample::H264_1080_MP4:
      Append(args, Lavfi(Video(L"1920x1080", seconds)));
      Append(args, Lavfi(Tone(440, seconds)));
      Append(args, {L"-c:v", L"libx264", L"-preset", L"ultrafast", L"-pix_fmt", L"yuv420p", L"-c:a", L"aac",
                    L"-b:a", L"192k", L"-ac", L"2"});
      break;
    case Sample::H265_AC3_51_MKV:
      Append(args, Lavfi(Video(small, seconds)));
      Append(args, Lavfi(Tone(440, seconds)));
      Append(args, {L"-c:v", L"libx265", L"-x265-params", L"log-level=none", L"-pix_fmt", L"yuv420p", L"-c:a",
                    L"ac3", L"-ac", L"6", L"-b:a", L"448k", L"-metadata:s:a:0", L"language=kor"});
      break;
    case Sample::THREE_AUDIO_TWO_SUBS_MKV: {
      std::wstring srt = path + L".srt";
      if (!WriteSubtitles(srt)) return false;
      Append(args, Lavfi(Video(small, seconds)));
      Append(args, Lavfi(Tone(440, seconds)));
      Append(args, Lavfi(Tone(550, seconds)));
      Append(args, Lavfi(Tone(660, seconds)));
      Append(args, {L"-i", srt, L"-i", srt});
      Append(args, {L"-map",
                    L"0:v",
                    L"-map",
                    L"1:a",
                    L"-map",
                    L"2:a",
                    L"-map",
                    L"3:a",
                    L"-map",
                    L"4:s",
                    L"-map",
                    L"5:s",
                    L"-c:v",
                    L"libx264",
                    L"-pix_fmt",
                    L"yuv420p",
                    L"-c:a",
                    L"aac",
                    L"-b:a",
                    L"192k",
                    L"-ac",
                    L"2",
                    L"-c:s",
                    L"srt",
                    L"-metadata:s:a:0",
                    L"language=eng",
                    L"-metadata:s:a:1",
                    L"language=jpn",
                    L"-metadata:s:a:2",
                    L"language=fre"});
      break;
    }
    case Sample::VP9_OPUS_WEBM:
      Append(args, Lavfi(Video(small, seconds)));
      Append(args, Lavfi(Tone(440, seconds)));
      Append(args, {L"-c:v", L"libvpx-vp9", L"-deadline", L"realtime", L"-cpu-used", L"8", L"-b:v", L"200k",
                    L"-c:a", L"libopus", L"-ac", L"2"});
      break;
    case Sample::ANIMATED_GIF:
      Append(args, Lavfi(L"testsrc=size=160x120:rate=10:duration=" + Seconds(seconds)));
      break;
    case Sample::MP3_ONLY:
      Append(args, Lavfi(Tone(440, seconds)));
      Append(args, {L"-c:a", L"libmp3lame", L"-b:a", L"192k", L"-ac", L"2"});
      break;
    case Sample::SEVEN_AUDIO_MKV:
      Append(args, Lavfi(Video(small, seconds)));
      for (int i = 0; i < 7; ++i) Append(args, Lavfi(Tone(300 + 100 * i, seconds)));
      Append(args, {L"-map", L"0:v"});
      for (int i = 1; i <= 7; ++i) Append(args, {L"-map", std::to_wstring(i) + L":a"});
      Append(args,
             {L"-c:v", L"libx264", L"-pix_fmt", L"yuv420p", L"-c:a", L"aac", L"-b:a", L"192k", L"-ac", L"2"});
      break;
    case Sample::TWELVE_AUDIO_MKV:
      Append(args, Lavfi(Video(small, seconds)));
      for (int i = 0; i < 12; ++i) Append(args, Lavfi(Tone(300 + 50 * i, seconds)));
      Append(args, {L"-map", L"0:v"});
      for (int i = 1; i <= 12; ++i) Append(args, {L"-map", std::to_wstring(i) + L":a"});
      Append(args, {L"-c:v", L"libx264", L"-pix_fmt", L"yuv420p", L"-c:a", L"aac", L"-b:a", L"96k"});
      for (int i = 0; i < 12; ++i)
        Append(args, {L"-ac:a:" + std::to_wstring(i), i >= 10 ? L"6" : i % 2 == 0 ? L"1" : L"2"});
      break;
    case Sample::CUT_SHORT_MKV:
      // Written whole, then cut: Matroska keeps the length in its header, at the start.
      Append(args, Lavfi(Video(small, 2 * seconds)));
      Append(args, Lavfi(Tone(440, 2 * seconds)));
      Append(args,
             {L"-c:v", L"libx264", L"-pix_fmt", L"yuv420p", L"-c:a", L"aac", L"-b:a", L"192k", L"-ac", L"2"});
      break;
    case Sample::MONO_AAC_M4A_MP4:
      Append(args, Lavfi(Video(small, seconds)));
      Append(args, Lavfi(Tone(440, seconds)));
      Append(args,
             {L"-c:v", L"libx264", L"-pix_fmt", L"yuv420p", L"-c:a", L"aac", L"-b:a", L"96k", L"-ac", L"1"});
      break;
    default:
      return false;  // made above
  }
  args.push_back(path);
  if (!RunFfmpeg(args)) return false;
  if (kind != Sample::CUT_SHORT_MKV) return true;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(FsPath(path), error);
  if (!error) std::filesystem::resize_file(FsPath(path), size / 2, error);
  return !error;
}
