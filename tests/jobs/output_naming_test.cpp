#include "jobs/output_naming.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "job_test_support.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace {

struct NamingCase {
  const char* name;
  std::wstring input;  // "<dir>" stands for the test folder
  std::vector<std::wstring>
      existing;  // files created in the test folder (the input among them when it exists)
  int32_t jobKind;
  int32_t outputCodec;
  bool containerMp4;
  bool containerMkv;
  std::wstring expected;
};

void CheckNaming(const NamingCase& c) {
  SCOPED_TRACE(c.name);
  TempDir dir;
  for (const std::wstring& name : c.existing) dir.Write(name);
  JobSettings settings;
  settings.jobKind = c.jobKind;
  settings.outputCodec = c.outputCodec;
  settings.outputKind = c.outputCodec == OUT_WAV || c.outputCodec == OUT_MP3 ? OUTPUT_AUDIO : OUTPUT_VIDEO;
  settings.containerMp4 = c.containerMp4;
  settings.containerMkv = c.containerMkv;
  std::wstring out;
  ASSERT_TRUE(GetOutputFileName(settings, Expand(c.input, dir.Path()), out));
  EXPECT_EQ(out, Expand(c.expected, dir.Path()));
}

TEST(GetOutputFileName, ExtensionsAndNumbers) {
  const std::vector<NamingCase> cases = {
      {"existing AVI converted to H.265",
       L"<dir>clip.avi",
       {L"clip.avi"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip_(02).mp4"},
      {"... numbered on when _(02) is taken",
       L"<dir>clip.avi",
       {L"clip.avi", L"clip_(02).mp4"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip_(03).mp4"},
      {"a missing input is its own output",
       L"<dir>clip.avi",
       {},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip.avi"},
      {"a numbered input numbers on from its number",
       L"<dir>clip_(02).mp4",
       {L"clip_(02).mp4"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip_(03).mp4"},
      {"clip_(03) skips itself",
       L"<dir>clip_(03).mp4",
       {L"clip_(03).mp4", L"clip_(04).mp4"},
       JOB_CONVERT,
       OUT_H264,
       false,
       false,
       L"<dir>clip_(05).mp4"},
      {"merge files: the .ts name, whatever the boxes say",
       L"<dir>a.mp4",
       {L"a.mp4"},
       JOB_MERGE_FILES,
       OUT_H265,
       true,
       true,
       L"<dir>a.ts"},
      {"merge files: a taken .ts name is numbered on",
       L"<dir>a.mp4",
       {L"a.mp4", L"a.ts"},
       JOB_MERGE_FILES,
       OUT_H265,
       true,
       true,
       L"<dir>a_(02).ts"},
      {"audio extract keeps the extension",
       L"<dir>song.MP3",
       {L"song.MP3"},
       JOB_AUDIO_EXTRACT,
       OUT_H265,
       true,
       false,
       L"<dir>song_(02).mp3"},
      {"video extract of MKV gives MP4",
       L"<dir>movie.mkv",
       {L"movie.mkv"},
       JOB_VIDEO_EXTRACT,
       OUT_H264,
       false,
       false,
       L"<dir>movie_(02).mp4"},
      {"convert of MKV stays MKV",
       L"<dir>movie.mkv",
       {L"movie.mkv"},
       JOB_CONVERT,
       OUT_H264,
       false,
       false,
       L"<dir>movie_(02).mkv"},
      {"WAV wins over the MKV box",
       L"<dir>movie.mkv",
       {L"movie.mkv"},
       JOB_CONVERT,
       OUT_WAV,
       false,
       true,
       L"<dir>movie_(02).wav"},
      {"MKV wins over the MP4 box",
       L"<dir>movie.avi",
       {L"movie.avi"},
       JOB_CONVERT,
       OUT_H265,
       true,
       true,
       L"<dir>movie_(02).mkv"},
      {"GIF", L"<dir>clip.mp4", {L"clip.mp4"}, JOB_CONVERT, OUT_GIF, false, false, L"<dir>clip_(02).gif"},
      {"MP3", L"<dir>clip.mp4", {L"clip.mp4"}, JOB_CONVERT, OUT_MP3, false, false, L"<dir>clip_(02).mp3"},
      {"upper-case extension is lowered in numbered names",
       L"<dir>CLIP.MP4",
       {L"CLIP.MP4"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>CLIP_(02).mp4"},
      {"an unnamed extension with H.265 becomes mp4",
       L"<dir>clip.webm",
       {L"clip.webm"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip_(02).mp4"},
      {"no codec row: the extension stays",
       L"<dir>clip.webm",
       {L"clip.webm"},
       JOB_CONVERT,
       OUT_NONE,
       false,
       false,
       L"<dir>clip_(02).webm"},
      {"_(-3) reads as -3 and is kept",
       L"<dir>clip_(-3).mp4",
       {L"clip_(-3).mp4"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip_(-3)_(02).mp4"},
      {"_(1) reads below 2 and is kept",
       L"<dir>clip_(1).mp4",
       {L"clip_(1).mp4"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip_(1)_(02).mp4"},
  };
  for (const NamingCase& c : cases) CheckNaming(c);
}

TEST(GetOutputFileName, DotInAFolderNameSplitsThere) {
  TempDir dir;
  const std::wstring folder = dir.File(L"my.dir");
  ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::path(folder)));
  const std::wstring input = folder + kPathSeparator + L"file";
  { std::ofstream(std::filesystem::path(input)) << "x"; }
  JobSettings settings;
  std::wstring out;
  ASSERT_TRUE(GetOutputFileName(settings, input, out));
  EXPECT_EQ(out, dir.File(L"my_(02).mp4"));  // beside the folder, in its parent
}

TEST(GetOutputFileName, NumbersGoOnPast99) {
  // Every name up to _(99) taken: the next free number is used, never an existing file.
  TempDir dir;
  dir.Write(L"clip.mp4");
  for (int n = 2; n <= 99; ++n) dir.Write(Sprintf(L"clip_(%02d).mp4", n));
  JobSettings settings;
  std::wstring out;
  ASSERT_TRUE(GetOutputFileName(settings, dir.File(L"clip.mp4"), out));
  EXPECT_EQ(out, dir.File(L"clip_(100).mp4"));
}

TEST(GetOutputFileName, AStartNumberAbove99IsNumberedOn) {
  // "_(999" reads 999; the name must still be free, not the input.
  const std::vector<NamingCase> cases = {
      {"open tail",
       L"<dir>clip_(999.mp4",
       {L"clip_(999.mp4"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip_(999).mp4"},
      {"open tail, 999 taken",
       L"<dir>clip_(999.mp4",
       {L"clip_(999.mp4", L"clip_(999).mp4"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip_(1000).mp4"},
      {"_(100) input",
       L"<dir>clip_(100.mp4",
       {L"clip_(100.mp4"},
       JOB_CONVERT,
       OUT_H265,
       false,
       false,
       L"<dir>clip_(100).mp4"},
  };
  for (const NamingCase& c : cases) CheckNaming(c);
}

TEST(GetOutputFileName, RelativePathInTheWorkingFolder) {
  TempDir dir;
  dir.Write(L"a_(05).mp4");
  dir.Write(L"b.avi");
  const std::wstring previous = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(dir.Path()));
  JobSettings settings;
  std::wstring first, second, missing;
  EXPECT_TRUE(GetOutputFileName(settings, L"a_(05).mp4", first));
  EXPECT_TRUE(GetOutputFileName(settings, L"b.avi", second));
  EXPECT_TRUE(GetOutputFileName(settings, L"c.avi", missing));
  SetCurrentDir(previous);
  EXPECT_EQ(first, L"a_(05)_(02).mp4");
  EXPECT_EQ(second, L"b_(02).mp4");
  EXPECT_EQ(missing, L"c.avi");
}

TEST(GetOutputFileName, RefusesEmptyAndDotEnding) {
  JobSettings settings;
  TraceCapture trace;
  for (const std::wstring& path :
       {std::wstring(), std::wstring(L"clip."), std::wstring(L"."), std::wstring(L"C:\\v\\clip.")}) {
    std::wstring out = L"untouched";
    EXPECT_FALSE(GetOutputFileName(settings, path, out)) << path;
    EXPECT_EQ(out, L"untouched");
  }
  EXPECT_TRUE(trace.Lines().empty());
}

TEST(GetOutputFileName, Traces) {
  TempDir dir;
  dir.Write(L"clip_(03).mp4");
  JobSettings settings;
  TraceCapture trace;
  std::wstring out;
  ASSERT_TRUE(GetOutputFileName(settings, dir.File(L"clip_(03).mp4"), out));
  const std::wstring d = dir.Path();
  const std::vector<std::wstring> expected = {
      L"GetOutputFileName - " + d + L"clip_(03).mp4\n",
      L"GetOutputFileName - 1- " + d + L"clip_(03), mp4 -> _(03), (3) \n",
      L"GetOutputFileName - 2 - " + d + L"clip\n",
      L"3 - " + d + L"clip_(03).mp4\n",
      L"4 - " + d + L"clip_(04).mp4\n",
      L"GetOutputFileName - END - " + d + L"clip_(03).mp4 -> [" + d + L"clip , mp4],\n" + d +
          L"clip_(04).mp4 , ret=0\n",
  };
  EXPECT_EQ(trace.Lines(), expected);

  // A stem of fewer than 7 characters reads no number and writes no scan traces; merge files
  // jumps to the end with the split as it was.
  trace.Clear();
  settings.jobKind = JOB_MERGE_FILES;
  ASSERT_TRUE(GetOutputFileName(settings, L"a.MP4", out));
  const std::vector<std::wstring> merge = {L"GetOutputFileName - a.MP4\n",
                                           L"GetOutputFileName - END - a.MP4 -> [a , MP4],\na.ts , ret=0\n"};
  EXPECT_EQ(trace.Lines(), merge);
}

// Over random sets of existing files and random settings, the chosen name is never the input
// and never an existing file.
TEST(GetOutputFileName, NeverTheInputNorAnExistingFile) {
  std::mt19937 random(20240611);
  const std::vector<std::wstring> stems = {L"clip",       L"movie_(02)", L"movie_(98)",
                                           L"movie_(99)", L"take_(999",  L"take_(100",
                                           L"a_(05)",     L"x_(-3)",     L"Long Name"};
  const std::vector<std::wstring> exts = {L"mp4", L"mkv", L"avi", L"MP4", L"gif",
                                          L"wav", L"mp3", L"AAC", L"webm"};
  const int32_t codecs[] = {OUT_NONE, OUT_H264, OUT_H265, OUT_GIF, OUT_WAV, OUT_MP3};
  const int32_t kinds[] = {JOB_VIDEO_EXTRACT, JOB_AUDIO_EXTRACT, JOB_CONVERT, JOB_MERGE_VIDEO_AUDIO};
  for (int round = 0; round < 60; ++round) {
    TempDir dir;
    const std::wstring stem = stems[random() % stems.size()];
    const std::wstring inputName = stem + L"." + exts[random() % exts.size()];
    dir.Write(inputName);
    std::set<std::wstring> made;
    const int count = static_cast<int>(random() % 120);
    for (int i = 0; i < count; ++i) {
      const std::wstring base = random() % 2 ? stem : stem.substr(0, stem.rfind(L"_("));
      std::wstring name =
          Sprintf(L"%s_(%02d).%s", base, static_cast<int>(random() % 110), exts[random() % exts.size()]);
      if (random() % 3 == 0) name = Sprintf(L"%s_(%02d).%s", base, static_cast<int>(2 + i % 110), L"mp4");
      if (made.insert(name).second) dir.Write(name);
    }
    JobSettings settings;
    settings.outputCodec = codecs[random() % 6];
    settings.jobKind = kinds[random() % 4];
    settings.outputKind = random() % 2 ? OUTPUT_VIDEO : OUTPUT_AUDIO;
    settings.containerMp4 = random() % 2;
    settings.containerMkv = random() % 3 == 0;
    const std::wstring input = dir.File(inputName);
    std::wstring out;
    ASSERT_TRUE(GetOutputFileName(settings, input, out));
    SCOPED_TRACE(testing::Message() << "round " << round << ", input " << inputName.c_str() << ", "
                                    << made.size() << " files");
    EXPECT_NE(out, input);
    EXPECT_FALSE(FileExists(out)) << out;
  }
}

// The merge's intermediate and joined names, and any name checked again after a change of
// extension, follow the same rule: the plain name when it is free, else numbered on.
TEST(OutputNaming, MergeNamesAndFirstFreeName) {
  struct Case {
    const char* name;
    std::vector<std::wstring> existing;
    std::wstring (*name_of)(const std::wstring& path);
    std::wstring path;  // "<dir>" stands for the test folder
    std::wstring expected;
  };
  auto intermediate = [](const std::wstring& path) {
    std::wstring out = L"untouched";
    return GetIntermediatePath(path, out) ? out : L"false";
  };
  auto joined = [](const std::wstring& path) {
    std::wstring out = L"untouched";
    return GetJoinedOutputPath(path, out) ? out : L"false";
  };
  auto firstFree = [](const std::wstring& path) { return FirstFreeName(path); };
  const Case cases[] = {
      {"intermediate: stem plus .ts", {}, intermediate, L"<dir>a.b.MKV", L"<dir>a.b.ts"},
      {"intermediate of a transport stream", {L"a.ts"}, intermediate, L"<dir>a.ts", L"<dir>a_(02).ts"},
      {"intermediate numbered past taken ones",
       {L"a.ts", L"a_(02).ts"},
       intermediate,
       L"<dir>a.mp4",
       L"<dir>a_(03).ts"},
      {"intermediate without a dot", {}, intermediate, L"README", L".ts"},
      {"intermediate of a name ending in a dot", {}, intermediate, L"<dir>clip.", L"false"},
      {"intermediate of nothing", {}, intermediate, L"", L"false"},
      {"joined: stem _ALL and the first input's extension", {}, joined, L"<dir>a.mkv", L"<dir>a_ALL.mkv"},
      {"joined numbered when taken", {L"a_ALL.mkv"}, joined, L"<dir>a.mkv", L"<dir>a_ALL_(02).mkv"},
      {"joined of a name ending in a dot", {}, joined, L"<dir>a.", L"false"},
      {"free name stays", {}, firstFree, L"<dir>clip_(02).mkv", L"<dir>clip_(02).mkv"},
      {"taken numbered name numbers on",
       {L"clip_(02).mkv"},
       firstFree,
       L"<dir>clip_(02).mkv",
       L"<dir>clip_(03).mkv"},
      {"taken plain name gets _(02)", {L"take.AAC"}, firstFree, L"<dir>take.AAC", L"<dir>take_(02).aac"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const std::wstring& name : c.existing) dir.Write(name);
    EXPECT_EQ(c.name_of(Expand(c.path, dir.Path())), Expand(c.expected, dir.Path()));
  }
}

// A reserved name counts as taken like an existing file: names chosen for commands that have
// not run yet never collide.
TEST(OutputNaming, ReservedNamesCountAsTaken) {
  TempDir dir;
  const std::wstring input = dir.Write(L"clip.mp4");
  JobSettings settings;
  COutputReservations reserved;
  std::wstring first, second, ts, joined;
  ASSERT_TRUE(GetOutputFileName(settings, input, first, &reserved));
  reserved.Reserve(first);
  ASSERT_TRUE(GetOutputFileName(settings, input, second, &reserved));
  EXPECT_EQ(first, dir.File(L"clip_(02).mp4"));
  EXPECT_EQ(second, dir.File(L"clip_(03).mp4"));
  EXPECT_FALSE(FileExists(first));

  reserved.Reserve(dir.File(L"clip.ts"));
  ASSERT_TRUE(GetIntermediatePath(input, ts, &reserved));
  EXPECT_EQ(ts, dir.File(L"clip_(02).ts"));
  reserved.Reserve(dir.File(L"clip_ALL.mp4"));
  ASSERT_TRUE(GetJoinedOutputPath(input, joined, &reserved));
  EXPECT_EQ(joined, dir.File(L"clip_ALL_(02).mp4"));
}

// A reservation holds a file, not a text: another spelling of a reserved name is taken too,
// so two spellings of one input never share an output. Where the folder tells case apart,
// case twins are two files and keep the names they always had.
TEST(OutputNaming, ReservationsHoldFilesNotTexts) {
#ifdef _WIN32
  const bool windows = true;
#else
  const bool windows = false;
#endif
  enum { FILE_SYSTEM, INJECTED_IGNORES_CASE, INJECTED_TELLS_CASE };
  const struct {
    const char* what;
    std::wstring first, second;  // "<dir>" stands for the test folder, which holds d and link
    int caseRule;
    std::wstring expected;  // the second input's output
  } cases[] = {
      {"d/.. /d", L"<dir>d/x.mp4", L"<dir>d/../d/x.mp4", FILE_SYSTEM, L"<dir>d/../d/x_(03).mp4"},
      {"a link to the folder", L"<dir>d/x.mp4", L"<dir>link/x.mp4", FILE_SYSTEM, L"<dir>link/x_(03).mp4"},
      {"case twins, the folder ignoring case", L"<dir>d/Clip.mp4", L"<dir>d/clip.avi", INJECTED_IGNORES_CASE,
       L"<dir>d/clip_(03).mp4"},
      {"case twins beyond ASCII, the folder ignoring case", L"<dir>d/\u00c4pfel.mp4",
       L"<dir>d/\u00e4pfel.avi", INJECTED_IGNORES_CASE, L"<dir>d/\u00e4pfel_(03).mp4"},
      {"case twins, the folder telling case apart", L"<dir>d/Clip.mp4", L"<dir>d/clip.avi",
       INJECTED_TELLS_CASE, L"<dir>d/clip_(02).mp4"},
      {"case twins, as the test folder says", L"<dir>d/Clip.mp4", L"<dir>d/clip.avi", FILE_SYSTEM,
       windows ? L"<dir>d/clip_(03).mp4" : L"<dir>d/clip_(02).mp4"},
      {"case twins beyond ASCII, as the test folder says", L"<dir>d/\u00c4pfel.mp4", L"<dir>d/\u00e4pfel.avi",
       FILE_SYSTEM, windows ? L"<dir>d/\u00e4pfel_(03).mp4" : L"<dir>d/\u00e4pfel_(02).mp4"},
  };
  auto native = [](std::wstring text, const std::wstring& dir) {
    text = Expand(text, dir);
    for (wchar_t& c : text)
      if (c == L'/') c = kPathSeparator;
    return text;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (windows && c.caseRule == INJECTED_TELLS_CASE) continue;  // no Windows folder does
    TempDir dir;
    ASSERT_FALSE(dir.Folder(L"d").empty());
    if (std::wstring(c.second).find(L"link") != std::wstring::npos &&
        !dir.LinkFolder(L"link", dir.File(L"d"))) {
      std::printf("no link to a folder here: \"%s\" was left out\n", c.what);
      continue;
    }
    std::unique_ptr<CFolderCaseOverride> override;
    if (c.caseRule != FILE_SYSTEM)
      override = std::make_unique<CFolderCaseOverride>(c.caseRule == INJECTED_IGNORES_CASE);
    const std::wstring first = native(c.first, dir.Path()), second = native(c.second, dir.Path());
    dir.Write(first.substr(dir.Path().size()));
    dir.Write(second.substr(dir.Path().size()));
    JobSettings settings;
    COutputReservations reserved;
    std::wstring out;
    ASSERT_TRUE(GetOutputFileName(settings, first, out, &reserved));
    std::wstring stem, ext;
    ASSERT_TRUE(SplitFileExt(first, stem, ext));
    EXPECT_EQ(out, stem + L"_(02).mp4");
    reserved.Reserve(out);
    ASSERT_TRUE(GetOutputFileName(settings, second, out, &reserved));
    EXPECT_EQ(out, native(c.expected, dir.Path()));
  }
}

// Past MAX_PATH characters (Windows' limit without the \\?\ form) names are still seen: a
// second run over a long-named input numbers on instead of reusing the first run's name.
TEST(GetOutputFileName, NumbersOnAtAnyPathLength) {
  TempDir dir;
  const std::wstring deep = dir.DeepFolder(280);
  ASSERT_FALSE(deep.empty());
  const std::wstring relative = deep.substr(dir.Path().size());
  const std::wstring input = dir.Write(relative + L"clip.mp4");
  JobSettings settings;
  std::wstring out;
  ASSERT_TRUE(GetOutputFileName(settings, input, out));
  EXPECT_EQ(out, deep + L"clip_(02).mp4") << "never the input itself";
  dir.Write(relative + L"clip_(02).mp4");  // the first run's output
  ASSERT_TRUE(GetOutputFileName(settings, input, out));
  EXPECT_EQ(out, deep + L"clip_(03).mp4");
  COutputReservations reserved;
  reserved.Reserve(out);
  ASSERT_TRUE(GetOutputFileName(settings, input, out, &reserved));
  EXPECT_EQ(out, deep + L"clip_(04).mp4");
}

TEST(OutputNaming, AudioExtractTakesTheCodecName) {
  TempDir dir;
  JobSettings settings;
  settings.jobKind = JOB_AUDIO_EXTRACT;
  EXPECT_EQ(GetAudioExtractPath(settings, dir.File(L"talk_(02).mkv"), L"AAC"), dir.File(L"talk_(02).AAC"));
  dir.Write(L"talk_(02).AAC");
  dir.Write(L"talk_(02).aac");  // the numbered names are lower-cased (one file where case does not count)
  EXPECT_EQ(GetAudioExtractPath(settings, dir.File(L"talk_(02).mkv"), L"AAC"), dir.File(L"talk_(03).aac"));
  COutputReservations reserved;
  reserved.Reserve(dir.File(L"talk_(03).aac"));
  EXPECT_EQ(GetAudioExtractPath(settings, dir.File(L"talk_(02).mkv"), L"AAC", &reserved),
            dir.File(L"talk_(04).aac"));
}

}  // namespace

namespace {

// "<dir>" expanded and "/" written as the platform's separator.
std::wstring NativePath(std::wstring text, const std::wstring& dir) {
  text = Expand(text, dir);
  for (wchar_t& c : text)
    if (c == L'/') c = kPathSeparator;
  return text;
}

TEST(OutputFolder, TheFileNameGoesIntoTheFolder) {
  const struct {
    std::wstring folder, path, expected;
  } cases[] = {
      {L"", L"/v/clip.mp4", L"/v/clip.mp4"},
      {L"/o", L"/v/clip.mp4", L"/o/clip.mp4"},
      {L"/o/", L"/v/w/clip_(02).mp4", L"/o/clip_(02).mp4"},
      {L"/o", L"clip.mp4", L"/o/clip.mp4"},
#ifdef _WIN32
      {L"C:\\o", L"D:\\v\\clip.mp4", L"C:\\o\\clip.mp4"},
      {L"C:\\o\\", L"D:clip.mp4", L"C:\\o\\clip.mp4"},
      {L"\\\\server\\share\\o", L"C:/v/clip.mp4", L"\\\\server\\share\\o\\clip.mp4"},
#else
      {L"/o", L"/v/x\\y.mp4", L"/o/x\\y.mp4"},  // a backslash belongs to a POSIX name
#endif
  };
  for (const auto& c : cases) {
    std::wstring expected = c.expected;
#ifdef _WIN32
    if (c.folder == L"/o") expected[2] = L'\\';  // the separator added is the platform's
#endif
    EXPECT_EQ(InOutputFolder(c.folder, c.path), expected) << c.path;
  }
}

// With an output folder, each name is the one it would have beside its input, numbered on
// past what the output folder holds; what lies beside the input no longer counts, except the
// input's own name, which is never an output's.
TEST(OutputFolder, NamesAreNumberedAgainstTheOutputFolder) {
  struct Case {
    const char* name;
    std::wstring input;                  // "<dir>" stands for the test folder, "/" for the separator
    std::vector<std::wstring> existing;  // files under the test folder
    int32_t jobKind;
    int32_t outputCodec;
    std::wstring folder;  // the output folder
    std::wstring expected;
  };
  const Case cases[] = {
      {"convert: named as beside the input",
       L"<dir>in/clip.avi",
       {L"in/clip.avi"},
       JOB_CONVERT,
       OUT_H265,
       L"<dir>out",
       L"<dir>out/clip_(02).mp4"},
      {"numbered on past what the folder holds",
       L"<dir>in/clip.avi",
       {L"in/clip.avi", L"out/clip_(02).mp4"},
       JOB_CONVERT,
       OUT_H265,
       L"<dir>out/",
       L"<dir>out/clip_(03).mp4"},
      {"what lies beside the input does not count",
       L"<dir>in/clip.avi",
       {L"in/clip.avi", L"in/clip_(02).mp4", L"in/clip_(03).mp4"},
       JOB_CONVERT,
       OUT_H265,
       L"<dir>out",
       L"<dir>out/clip_(02).mp4"},
      {"the input's own name is passed over",
       L"<dir>in/clip.mp4",
       {L"in/clip.mp4"},
       JOB_CONVERT,
       OUT_H264,
       L"<dir>out",
       L"<dir>out/clip_(02).mp4"},
      {"a numbered input numbers on from its number",
       L"<dir>in/clip_(03).mp4",
       {L"in/clip_(03).mp4", L"out/clip_(03).mp4"},
       JOB_CONVERT,
       OUT_H264,
       L"<dir>out",
       L"<dir>out/clip_(04).mp4"},
      {"an input in the output folder: as beside it",
       L"<dir>out/clip.avi",
       {L"out/clip.avi"},
       JOB_CONVERT,
       OUT_H265,
       L"<dir>out",
       L"<dir>out/clip_(02).mp4"},
      {"audio extract",
       L"<dir>in/song.MP3",
       {L"in/song.MP3", L"out/song_(02).mp3"},
       JOB_AUDIO_EXTRACT,
       OUT_H265,
       L"<dir>out",
       L"<dir>out/song_(03).mp3"},
      {"merge files: the intermediate",
       L"<dir>in/a.mp4",
       {L"in/a.mp4", L"in/a.ts"},
       JOB_MERGE_FILES,
       OUT_H265,
       L"<dir>out",
       L"<dir>out/a.ts"},
      {"merge files: a taken intermediate",
       L"<dir>in/a.mp4",
       {L"in/a.mp4", L"out/a.ts"},
       JOB_MERGE_FILES,
       OUT_H265,
       L"<dir>out",
       L"<dir>out/a_(02).ts"},
      {"merge of video and audio",
       L"<dir>in/movie.mkv",
       {L"in/movie.mkv"},
       JOB_MERGE_VIDEO_AUDIO,
       OUT_H264,
       L"<dir>out",
       L"<dir>out/movie_(02).mkv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    ASSERT_FALSE(dir.Folder(L"in").empty());
    ASSERT_FALSE(dir.Folder(L"out").empty());
    for (const std::wstring& name : c.existing) dir.Write(NativePath(name, L""));
    JobSettings settings;
    settings.jobKind = c.jobKind;
    settings.outputCodec = c.outputCodec;
    settings.outputFolder = NativePath(c.folder, dir.Path());
    std::wstring out;
    ASSERT_TRUE(GetOutputFileName(settings, NativePath(c.input, dir.Path()), out));
    EXPECT_EQ(out, NativePath(c.expected, dir.Path()));
  }
}

// Inputs of one name from two folders, into one output folder: the reservations keep their
// outputs, intermediates and joined file apart, and the audio extract named after its codec.
TEST(OutputFolder, InputsOfOneNameFromTwoFoldersGetTwoOutputs) {
  TempDir dir;
  for (const wchar_t* folder : {L"a", L"b", L"out"}) ASSERT_FALSE(dir.Folder(folder).empty());
  const std::wstring first = dir.Write(NativePath(L"a/clip.mp4", L""));
  const std::wstring second = dir.Write(NativePath(L"b/clip.mp4", L""));
  const std::wstring out = NativePath(L"<dir>out/", dir.Path());
  JobSettings settings;
  settings.outputFolder = out;
  COutputReservations reserved;
  std::wstring name;
  const struct {
    std::wstring input, expected;
    bool intermediate;
  } steps[] = {
      {first, L"clip_(02).mp4", false},
      {second, L"clip_(03).mp4", false},
      {first, L"clip.ts", true},
      {second, L"clip_(02).ts", true},
  };
  for (const auto& step : steps) {
    ASSERT_TRUE(step.intermediate ? GetIntermediatePath(step.input, name, &reserved, out)
                                  : GetOutputFileName(settings, step.input, name, &reserved));
    EXPECT_EQ(name, out + step.expected);
    reserved.Reserve(name);
  }
  dir.Write(NativePath(L"out/clip_ALL.mp4", L""));
  ASSERT_TRUE(GetJoinedOutputPath(first, name, &reserved, out));
  EXPECT_EQ(name, out + L"clip_ALL_(02).mp4");

  settings.jobKind = JOB_AUDIO_EXTRACT;
  EXPECT_EQ(GetAudioExtractPath(settings, out + L"clip_(04).mp4", L"AAC", &reserved), out + L"clip_(04).AAC");
  reserved.Reserve(out + L"clip_(04).AAC");
  reserved.Reserve(out + L"clip_(04).aac");  // one name where case does not count, two elsewhere
  EXPECT_EQ(GetAudioExtractPath(settings, out + L"clip_(04).mp4", L"AAC", &reserved), out + L"clip_(05).aac");
}

}  // namespace

// A file below a folder added whole goes into the same folder below the output folder; a file
// outside every such folder, or one whose path would climb out of it, goes into the output
// folder itself; without an output folder, beside its input.
TEST(OutputFolder, AFolderAddedWholeKeepsItsTreeBelowTheOutputFolder) {
  const std::wstring s(1, kPathSeparator);
  auto path = [&s](std::wstring text) {
    for (wchar_t& c : text)
      if (c == L'/') c = s[0];
    return text;
  };
  const struct {
    const char* what;
    std::wstring outputFolder;
    std::vector<std::wstring> roots;
    std::wstring input;
    std::wstring folder;
  } cases[] = {
      {"no output folder", L"", {L"/v/trip"}, L"/v/trip/day 1/a.mp4", L""},
      {"a file of the root itself", L"/out", {L"/v/trip"}, L"/v/trip/a.mp4", L"/out"},
      {"two levels down, blanks and Korean",
       L"/out/",
       {L"/v/trip"},
       L"/v/trip/day 1/깊은/a.mp4",
       L"/out/day 1/깊은"},
      {"a root with its separator", L"/out", {L"/v/trip/"}, L"/v/trip/day 1/a.mp4", L"/out/day 1"},
      {"outside every root", L"/out", {L"/v/trip"}, L"/w/a.mp4", L"/out"},
      {"a root's name is only a prefix", L"/out", {L"/v/trip"}, L"/v/trip2/x/a.mp4", L"/out"},
      {"the outermost root holds the tree",
       L"/out",
       {L"/v/trip/day 1", L"/v/trip"},
       L"/v/trip/day 1/a.mp4",
       L"/out/day 1"},
      {"a climb out of the tree", L"/out", {L"/v/trip"}, L"/v/trip/../../etc/a.mp4", L"/out"},
      {"a '.' on the way", L"/out", {L"/v/trip"}, L"/v/trip/./x/a.mp4", L"/out"},
      {"an empty folder name on the way", L"/out", {L"/v/trip"}, L"/v/trip//x/a.mp4", L"/out"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    JobSettings settings;
    settings.outputFolder = path(c.outputFolder);
    for (const std::wstring& root : c.roots) settings.folderRoots.push_back(path(root));
    EXPECT_EQ(OutputFolderFor(settings, path(c.input)), path(c.folder));
    // The output's name is chosen there as it would be in the output folder itself.
    std::wstring out;
    ASSERT_TRUE(GetOutputFileName(settings, path(c.input), out));
    const std::wstring folder = path(c.folder);
    EXPECT_EQ(out.substr(0, folder.size()), folder) << WideToUtf8(out);
  }
}
