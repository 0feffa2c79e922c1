// A description kept from a click serves while its file is unchanged, and never after.
#include "batch/probe_memory.h"

#include <gtest/gtest.h>

#include "base/file_util.h"
#include "support/temp_dir.h"

namespace {

TEST(ProbeMemory, AKeptDescriptionServesOnlyTheUnchangedFile) {
  TempDir dir;
  const std::wstring clip = dir.Write(L"clip.mp4", "first");
  int probes = 0;
  ProbeFunction probe = RecallingProbe(std::make_shared<CProbeMemory>(),
                                       [&probes](const std::wstring& path, MediaDesc& media) {
                                         ResetMediaDesc(media);
                                         media.fileSize = ++probes;
                                         return path.find(L"missing") == std::wstring::npos;
                                       });
  const struct {
    const char* change;  // done to the file before the probe; nullptr: nothing
    int probesAfter;
  } steps[] = {{nullptr, 1}, {nullptr, 1}, {"other size", 2}, {nullptr, 2}};
  for (const auto& step : steps) {
    if (step.change != nullptr) {
      ASSERT_TRUE(WriteWholeFile(clip, step.change));
    }
    MediaDesc media;
    ASSERT_TRUE(probe(clip, media));
    EXPECT_EQ(probes, step.probesAfter) << (step.change ? step.change : "unchanged");
    EXPECT_EQ(media.fileSize, step.probesAfter);  // the description of the probe that counted
  }
  MediaDesc media;
  EXPECT_FALSE(probe(dir.File(L"missing.mp4"), media));
  EXPECT_FALSE(probe(dir.File(L"missing.mp4"), media));  // nothing kept of a failed probe
  EXPECT_EQ(probes, 4);
}

}  // namespace
