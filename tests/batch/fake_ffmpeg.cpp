// A stand-in for ffmpeg in the GPU check's tests, copied into a program folder as ffmpeg (or
// ffmpeg.exe): builds and machines the tests cannot have (NVENC without libx264, a driver that
// hangs). What it does comes from KESTRUNE_FAKE_FFMPEG, rules separated by ';':
//   encoders=NAME,NAME...  what "-encoders" lists, in ffmpeg's layout (video encoders; the codec
//                          named after "264", "265"/"hevc" in the name); without the rule it
//                          lists nothing
//   fail=WORD              exit with 1 when an argument is WORD (the rule may repeat)
//   hang=WORD              wait a minute first when an argument is WORD, "*" for every call
//   sessions=N             a GPU that takes N encode sessions at once: a call that names an NVENC
//                          encoder ("..._nvenc") takes a session in the folder the rule slots=DIR
//                          names, and with none free says "OpenEncodeSessionEx failed" as
//                          ffmpeg does and exits with 1
//   gather=N               a call with a session holds it until N NVENC calls have started, or
//                          for 3 s at most, so calls at once meet each other
//   wav=SECONDS            what a call writes is a WAV file of that length (8 kHz, mono), which
//                          MediaInfo reads, instead of a few bytes
// Any other call exits with 0, and writes a few bytes into its last argument when that names a
// file ("-f h264 FILE"), as a made clip. Every call is recorded, as exec_witness records them
// (begin / arg=... / end), into the file KESTRUNE_WITNESS names, when it is set.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// A file by its UTF-8 name (on Windows through its wide name, so any name opens).
FILE* OpenFile(const std::string& name, const char* mode) {
#ifdef _WIN32
  auto wide = [](const std::string& text) {
    int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(size > 0 ? static_cast<size_t>(size) : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], size);
    out.resize(out.size() - 1);
    return out;
  };
  return _wfopen(wide(name).c_str(), wide(mode).c_str());
#else
  return std::fopen(name.c_str(), mode);
#endif
}

#ifdef _WIN32
std::string Utf8(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? static_cast<size_t>(size) : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}
#endif

// An environment variable as UTF-8; false when it is not set.
bool Setting(const char* name, std::string& value) {
#ifdef _WIN32
  std::wstring wideName(name, name + std::string(name).size());
  const wchar_t* found = _wgetenv(wideName.c_str());
  if (found == nullptr) return false;
  value = Utf8(found);
#else
  const char* found = std::getenv(name);
  if (found == nullptr) return false;
  value = found;
#endif
  return true;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, separator))
    if (!part.empty()) parts.push_back(part);
  return parts;
}

bool Has(const std::vector<std::string>& arguments, const std::string& word) {
  for (const std::string& argument : arguments)
    if (word == "*" || argument == word) return true;
  return false;
}

std::string CodecOf(const std::string& encoder) {
  if (encoder.find("264") != std::string::npos) return "h264";
  if (encoder.find("265") != std::string::npos || encoder.find("hevc") != std::string::npos) return "hevc";
  return encoder;
}

void ListEncoders(const std::vector<std::string>& names) {
  std::printf("Encoders:\n V..... = Video\n A..... = Audio\n ------\n");
  for (const std::string& name : names) {
    std::string codec = CodecOf(name);
    std::printf(" V....D %-20s a stand-in%s\n", name.c_str(),
                codec == name ? "" : (" (codec " + codec + ")").c_str());
  }
}

void Record(const std::vector<std::string>& arguments) {
  std::string target;
  if (!Setting("KESTRUNE_WITNESS", target)) return;
  FILE* out = OpenFile(target, "ab");
  if (out == nullptr) return;
  std::fputs("begin\n", out);
  for (const std::string& argument : arguments) std::fprintf(out, "arg=%s\n", argument.c_str());
  std::fputs("end\n", out);
  std::fclose(out);
}

namespace fs = std::filesystem;

bool NamesNvenc(const std::vector<std::string>& arguments) {
  const std::string ending = "_nvenc";
  for (const std::string& argument : arguments)
    if (argument.size() > ending.size() &&
        argument.compare(argument.size() - ending.size(), ending.size(), ending) == 0)
      return true;
  return false;
}

int CountEntries(const fs::path& folder, const std::string& prefix) {
  int count = 0;
  std::error_code code;
  for (const auto& entry : fs::directory_iterator(folder, code))
    if (entry.path().filename().string().rfind(prefix, 0) == 0) ++count;
  return count;
}

// The GPU's sessions: a folder per session taken, made only by the one who takes it. The
// session's folder, or an empty path when none was free.
fs::path TakeSession(const fs::path& slots, int sessions, int gather) {
  std::error_code code;
  fs::create_directories(slots, code);
  // A name no other call takes: calls at once are processes of their own.
  const std::string started = "started-" + std::to_string(std::random_device()()) + "-" +
                              std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  if (FILE* mark = OpenFile((slots / started).u8string(), "wb")) std::fclose(mark);
  fs::path taken;
  for (int i = 0; i < sessions && taken.empty(); ++i) {
    fs::path session = slots / ("session-" + std::to_string(i));
    if (fs::create_directory(session, code)) taken = session;
  }
  if (taken.empty()) return taken;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (CountEntries(slots, "started-") < gather && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return taken;
}

// A WAV file of 8-bit mono at 8 kHz, silent, lasting seconds.
void WriteWav(FILE* out, double seconds) {
  const uint32_t rate = 8000;
  const uint32_t bytes = static_cast<uint32_t>(seconds * rate);
  auto word = [out](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) std::fputc(static_cast<int>((value >> (8 * i)) & 0xFF), out);
  };
  std::fputs("RIFF", out);
  word(36 + bytes, 4);
  std::fputs("WAVEfmt ", out);
  word(16, 4);
  word(1, 2);  // PCM
  word(1, 2);  // mono
  word(rate, 4);
  word(rate, 4);  // bytes a second
  word(1, 2);     // bytes a frame
  word(8, 2);     // bits
  std::fputs("data", out);
  word(bytes, 4);
  for (uint32_t i = 0; i < bytes; ++i) std::fputc(128, out);
}

int Run(const std::vector<std::string>& arguments) {
  Record(arguments);
  std::string setting;
  Setting("KESTRUNE_FAKE_FFMPEG", setting);
  std::vector<std::string> encoders;
  bool fail = false;
  bool hang = false;
  int sessions = 0, gather = 0;
  std::string slots;
  double wavSeconds = 0;
  for (const std::string& rule : Split(setting, ';')) {
    size_t equals = rule.find('=');
    if (equals == std::string::npos) continue;
    std::string name = rule.substr(0, equals);
    std::string value = rule.substr(equals + 1);
    if (name == "encoders") encoders = Split(value, ',');
    if (name == "fail") fail = fail || Has(arguments, value);
    if (name == "hang") hang = hang || Has(arguments, value);
    if (name == "sessions") sessions = std::atoi(value.c_str());
    if (name == "gather") gather = std::atoi(value.c_str());
    if (name == "slots") slots = value;
    if (name == "wav") wavSeconds = std::atof(value.c_str());
  }
  if (hang) std::this_thread::sleep_for(std::chrono::seconds(60));
  if (Has(arguments, "-encoders")) {
    ListEncoders(encoders);
    return 0;
  }
  if (fail) return 1;
  fs::path session;
  if (sessions > 0 && !slots.empty() && NamesNvenc(arguments)) {
    session = TakeSession(fs::u8path(slots), sessions, gather);
    if (session.empty()) {
      std::fprintf(stderr,
                   "[h264_nvenc @ 0x0] OpenEncodeSessionEx failed: out of memory (10): (no details)\n"
                   "Error initializing output stream 0:0 -- Error while opening encoder\n");
      return 1;
    }
  }
  const std::string& last = arguments.empty() ? std::string() : arguments.back();
  if (!last.empty() && last[0] != '-') {
    if (FILE* made = OpenFile(last, "wb")) {
      if (wavSeconds > 0)
        WriteWav(made, wavSeconds);
      else
        std::fputs("a clip", made);
      std::fclose(made);
    }
  }
  std::error_code code;
  if (!session.empty()) fs::remove(session, code);
  return 0;
}

}  // namespace

#ifdef _WIN32
// The arguments as UTF-8, as the records hold them.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
  return Run(arguments);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
