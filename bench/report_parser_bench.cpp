// How long ParseMediaReport takes on the largest report it reads (MAX_REPORT_LINES lines) and
// on a report of ordinary size, and how much of that is the parse from memory alone
// (ParseMediaReportText, as the fuzzer calls it). The probe runs on the user-interface thread
// when a file is clicked, so a whole report should parse in well under 10 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "probe/media_desc.h"
#include "probe/report_parser.h"

namespace {

namespace fs = std::filesystem;

std::string Row(const std::string& key, const std::string& value) {
  std::string line = key;
  if (line.size() < 41) line.append(41 - line.size(), ' ');
  return line + ": " + value + "\n";
}

// One file's report as MediaInfo writes it: General, Video, three audio tracks, a subtitle.
std::string OneReport() {
  std::string report =
      "General\n" + Row("Complete name", "/media/films/clip.mkv") + Row("Format", "Matroska") +
      Row("File size", "1.36 GiB") + Row("Duration", "1 h 25 min") + Row("Overall bit rate", "2 290 kb/s") +
      Row("Writing application", "Lavf59.27.100") + "\nVideo\n" + Row("ID", "1") + Row("Format", "AVC") +
      Row("Format/Info", "Advanced Video Codec") + Row("Codec ID", "V_MPEG4/ISO/AVC") +
      Row("Duration", "1 h 25 min") + Row("Bit rate", "1 850 kb/s") + Row("Width", "1 920 pixels") +
      Row("Height", "1 080 pixels") + Row("Frame rate", "23.976 (24000/1001) FPS") +
      Row("Bit depth", "8 bits") + Row("Stream size", "1.10 GiB (81%)") +
      Row("Encoding settings", "cabac=1 / ref=3 / deblock=1:0:0 / analyse=0x3:0x113 / me=hex") + "\n";
  const char* languages[] = {"Korean", "English", "Japanese"};
  for (int n = 1; n <= 3; ++n) {
    report += "Audio #" + std::to_string(n) + "\n" + Row("ID", std::to_string(n + 1)) +
              Row("Format", "AC-3") + Row("Commercial name", "Dolby Digital") +
              Row("Duration", "1 h 25 min") + Row("Bit rate", "448 kb/s") + Row("Channel(s)", "6 channels") +
              Row("Sampling rate", "48.0 kHz") + Row("Stream size", "272 MiB (19%)") +
              Row("Language", languages[n - 1]) + "\n";
  }
  report += "Text\n" + Row("ID", "5") + Row("Format", "UTF-8") + Row("Codec ID", "S_TEXT/UTF8") + "\n";
  return report;
}

size_t CountLines(const std::string& text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

// Writes the report once, MAX_REPORT_LINES lines long (reports following each other) or a single
// one; the file is removed at exit.
class CReportFile {
 public:
  explicit CReportFile(bool full) {
    std::string one = OneReport();
    std::string text = one;
    lines_ = CountLines(one);
    if (full) {
      const size_t perReport = lines_;
      for (; lines_ + perReport <= MAX_REPORT_LINES; lines_ += perReport) text += one;
      for (; lines_ < MAX_REPORT_LINES; ++lines_) text += Row("Writing library", "Lavc59.37.100 ac3");
    }
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() /
            ("kestrune-bench-" + std::to_string(stamp) + (full ? "-full" : "-one") + ".txt");
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~CReportFile() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  std::wstring Path() const { return path_.wstring(); }
  size_t Lines() const { return lines_; }

 private:
  fs::path path_;
  size_t lines_ = 0;
};

void Parse(benchmark::State& state, const CReportFile& report) {
  MediaDesc media;
  ResetMediaDesc(media);
  for (auto _ : state) {
    bool parsed = ParseMediaReport(report.Path(), media);
    benchmark::DoNotOptimize(parsed);
    benchmark::DoNotOptimize(media);
  }
  if (media.audioCount != 3 || media.video.width != 1920) state.SkipWithError("the report was misread");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * report.Lines()));
  state.counters["lines"] = static_cast<double>(report.Lines());
}

void BM_ParseFullReport(benchmark::State& state) {
  static const CReportFile report(true);
  Parse(state, report);
}
BENCHMARK(BM_ParseFullReport)->Unit(benchmark::kMillisecond);

void BM_ParseOneFilesReport(benchmark::State& state) {
  static const CReportFile report(false);
  Parse(state, report);
}
BENCHMARK(BM_ParseOneFilesReport)->Unit(benchmark::kMicrosecond);

void BM_ParseOneFilesReportFromMemory(benchmark::State& state) {
  const std::string report = OneReport();
  MediaDesc media;
  ResetMediaDesc(media);
  for (auto _ : state) {
    bool parsed = ParseMediaReportText(report, media);
    benchmark::DoNotOptimize(parsed);
    benchmark::DoNotOptimize(media);
  }
  if (media.audioCount != 3 || media.video.width != 1920) state.SkipWithError("the report was misread");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * CountLines(report)));
}
BENCHMARK(BM_ParseOneFilesReportFromMemory)->Unit(benchmark::kMicrosecond);

}  // namespace
