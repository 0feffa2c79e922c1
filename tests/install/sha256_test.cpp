// The installer's own SHA-256, against the standard's vectors and the system's sha256sum, and
// the reading of the host's list of sums.
#include "install/sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>

#include "base/file_util.h"
#include "base/text.h"
#include "install/checksum_list.h"
#include "install/download_sums.h"
#include "support/temp_dir.h"

namespace {

std::string Sha256Of(const std::string& bytes, size_t pieceSize) {
  CSha256 sum;
  for (size_t at = 0; at < bytes.size(); at += pieceSize) {
    sum.Update(bytes.data() + at, std::min(pieceSize, bytes.size() - at));
  }
  return sum.FinishHex();
}

TEST(Sha256, KnownVectorsWhateverThePiecesTheBytesArriveIn) {
  const struct {
    std::string bytes;
    const char* sum;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopq"
       "rstnopq"
       "rstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      // Lengths around the padding's edges: 55, 56 and 64 bytes.
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
  };
  for (const auto& c : cases) {
    for (size_t piece : {size_t{1}, size_t{63}, size_t{64}, size_t{1000}, size_t{1} << 20}) {
      if (piece == 1 && c.bytes.size() > 100000) continue;
      EXPECT_EQ(Sha256Of(c.bytes, piece), c.sum) << c.bytes.size() << " bytes in pieces of " << piece;
    }
  }
}

#ifndef _WIN32
// The system's sha256sum over random files of several lengths agrees with FileSha256.
TEST(Sha256, AgreesWithTheSystemsSha256sum) {
  TempDir dir;
  std::mt19937 random(11);
  for (size_t length : {size_t{0}, size_t{1}, size_t{65}, size_t{4097}, size_t{300001}}) {
    std::string bytes(length, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    std::wstring path = dir.File(L"data-" + std::to_wstring(length) + L".bin");
    std::ofstream(FsPath(path), std::ios::binary) << bytes;
    std::string command = "sha256sum '" + PathToNative(path) + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[256] = {0};
    ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
    pclose(pipe);
    std::string ours;
    ASSERT_TRUE(FileSha256(path, ours));
    EXPECT_EQ(ours, std::string(line, 64)) << length << " bytes";
  }
  std::string ignored;
  EXPECT_FALSE(FileSha256(dir.File(L"absent.bin"), ignored));
}
#endif

TEST(ChecksumList, ReadsTheSha256sumFormat) {
  const std::string a(64, 'a'), b(64, 'b'), upperB(64, 'B');
  const std::string text =
      "# published with the archives\n"
      "\n" +
      a + "  ffmpeg.zip.001\r\n" + upperB + " *ffmpeg.zip.002\n" + a + "  twice.zip\n" + b + "  twice.zip\n" +
      "xyz  short.zip\n" + a + "\tMediaInfo.zip\n" + b + "  MediaInfo.zip";
  CChecksumList list;
  ASSERT_TRUE(list.Parse(text));
  const struct {
    const wchar_t* name;
    std::string sum;
    ChecksumCheck check;
  } cases[] = {
      {L"ffmpeg.zip.001", a, CHECKSUM_MATCH},
      {L"ffmpeg.zip.001", b, CHECKSUM_MISMATCH},
      {L"ffmpeg.zip.002", b, CHECKSUM_MATCH},  // binary-mode line, upper-case digits
      {L"FFMPEG.ZIP.001", a, CHECKSUM_NOT_LISTED},
      {L"twice.zip", a, CHECKSUM_MISMATCH},  // two different sums trust neither
      {L"short.zip", a, CHECKSUM_NOT_LISTED},
      {L"MediaInfo.zip", b, CHECKSUM_MATCH},  // the tab-separated line is not one
      {L"absent.zip", a, CHECKSUM_NOT_LISTED},
      {L"ffmpeg.zip.001", "", CHECKSUM_MISMATCH},
  };
  for (const auto& c : cases) EXPECT_EQ(list.Check(c.name, c.sum), c.check) << WideToUtf8(c.name);
  for (const std::string& nothing :
       {std::string(), std::string("<html>404 Not Found</html>\n"), std::string("# x\n")}) {
    EXPECT_FALSE(CChecksumList().Parse(nothing)) << nothing;
  }
}

// The sums the release is built with (the sha256sum format) and those of the machine's setting
// (sums apart by blanks, commas, semicolons or line breaks): a sum is accepted in any case,
// whatever name stands beside it; nothing else counts.
TEST(AcceptedSums, TheReleasesListAndTheMachinesSetting) {
  const std::string a(64, 'a'), b(64, 'b'), c(64, 'c'), d(64, 'd'), e(64, 'E'), f(64, 'f');
  CAcceptedSums accepted;
  EXPECT_TRUE(accepted.Empty());
  EXPECT_EQ(accepted.AddList("# the release's archives\n\n" + a + "  ffmpeg.zip.001\r\n" + b +
                             " *MediaInfo.zip\n" + c.substr(1) + "  short.zip\n" + f + "x  long.zip\n"),
            2u);
  EXPECT_EQ(accepted.AddSetting(Utf8ToWide(d + ", " + e + ";\r\n\tnot-a-sum " + c + "0")), 2u);
  const struct {
    std::string sum;
    bool accepted;
  } rows[] = {
      {a, true},  {std::string(64, 'B'), true},  {d, true},   {std::string(64, 'e'), true}, {c, false},
      {f, false}, {std::string(63, 'a'), false}, {"", false},
  };
  for (const auto& row : rows) EXPECT_EQ(accepted.Accepts(row.sum), row.accepted) << row.sum;
}

}  // namespace
