// --preset and presets against the real settings store (the registry of the Wine prefix, or a
// private configuration folder): the preset where it stands among the options, the options
// after it winning, an unknown or damaged one refused with exit 2, a damaged value named.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/registry_store.h"
#include "batch/preset_store.h"
#include "cli/cli_options.h"
#include "cli/exit_codes.h"
#include "cli_test_support.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include "../install/scoped_env.h"
#endif

namespace {

class CliPresetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    std::wstring folder = config.Path();
    folder.pop_back();
    env.Set(L"XDG_CONFIG_HOME", folder);
#endif
    store.Create(REGISTRY_LOCAL_MACHINE, kRegistryKeyPath);
    JobSettings archive;
    archive.useGpu = false;
    archive.useQuantizer = true;
    archive.quantizer = 20;
    archive.containerMkv = true;
    ASSERT_EQ(PRESET_OK, SavePreset(store, archive_, archive, true));
    ASSERT_EQ(0, store.SetText(L"preset." + half_, L"kestrune preset 1\nopt_mkv=1\nopt_qp=3\n"));
    ASSERT_EQ(0, store.SetText(L"preset." + broken_, L"not a preset"));
  }
  void TearDown() override {
    for (const std::wstring& name : {archive_, half_, broken_}) store.DeleteValue(L"preset." + name);
  }

#ifndef _WIN32
  TempDir config;
  ScopedEnv env;
#endif
  CRegistryStore store;
  // Under Wine the prefix's own key: names no one else uses.
  const std::wstring archive_ = L"cli test archive", half_ = L"cli test half", broken_ = L"cli test broken";
};

TEST_F(CliPresetsTest, ThePresetStandsWhereItIsGivenAndLaterOptionsWin) {
  struct Row {
    std::vector<std::wstring> args;
    int32_t quantizer;
    bool useGpu;
    CliGpuMode gpu;
  };
  const Row rows[] = {
      {{L"plan", L"--preset", archive_, L"a.mp4"}, 20, false, CLI_GPU_OFF},
      {{L"plan", L"--preset=" + archive_, L"--qp", L"33", L"--gpu", L"a.mp4"}, 33, true, CLI_GPU_ON},
      {{L"run", L"--qp", L"33", L"--gpu", L"--preset", archive_, L"a.mp4"}, 20, false, CLI_GPU_OFF},
      {{L"plan", L"--no-gpu", L"--preset", L"Phone: small H.264 MP4", L"a.mp4"}, 28, false, CLI_GPU_OFF},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.args.size() << " " << row.quantizer);
    CCliRequest request;
    std::wstring error;
    ASSERT_TRUE(ParseCliArguments(row.args, request, error)) << error.size();
    EXPECT_EQ(row.quantizer, request.settings.quantizer);
    EXPECT_EQ(row.useGpu, request.settings.useGpu);
    EXPECT_EQ(row.gpu, request.gpu);
    EXPECT_TRUE(request.notices.empty());
  }
  CCliRequest phone;
  std::wstring error;
  ASSERT_TRUE(
      ParseCliArguments({L"plan", L"--preset", L"휴대폰용 H.264 MP4 (작게)", L"a.mp4"}, phone, error));
  EXPECT_EQ(OUT_H264, phone.settings.outputCodec);
  EXPECT_EQ(2000, phone.settings.videoBitRate);
  EXPECT_TRUE(phone.settings.containerMp4 && phone.settings.pixelFormatCompat &&
              phone.settings.downmixStereo);
}

TEST_F(CliPresetsTest, UnknownOrDamagedPresetsAreRefusedAndDamagedValuesNamed) {
  struct Row {
    std::vector<std::wstring> args;
    int exitCode;
    std::wstring err;
  };
  const Row rows[] = {
      {{L"plan", L"--preset", L"nothing like it", L"a.mp4"},
       CLI_EXIT_USAGE,
       L"kestrune: There is no preset named \"nothing like it\".\n"},
      {{L"run", L"--preset", broken_, L"a.mp4"},
       CLI_EXIT_USAGE,
       L"kestrune: The preset \"" + broken_ +
           L"\" is damaged and was not applied; the options are as they were.\n"},
      {{L"plan", L"--preset"}, CLI_EXIT_USAGE, L"kestrune: option '--preset' needs a value\n"},
      {{L"presets", L"extra"}, CLI_EXIT_USAGE, L"kestrune: presets takes no arguments\n"},
  };
  for (const Row& row : rows) {
    CliResult result = RunCli(row.args);
    EXPECT_EQ(row.exitCode, result.exitCode);
    EXPECT_EQ(row.err, result.err);
  }
  CCliRequest request;
  std::wstring error;
  ASSERT_TRUE(ParseCliArguments({L"plan", L"--preset", half_, L"a.mp4"}, request, error));
  EXPECT_TRUE(request.settings.containerMkv);
  EXPECT_EQ(std::vector<std::wstring>{L"The preset \"" + half_ +
                                      L"\" was applied without its damaged values: opt_qp"},
            request.notices);
}

TEST_F(CliPresetsTest, PresetsListsTheBuiltInsFirst) {
  CliResult result = RunCli({L"presets"});
  EXPECT_EQ(CLI_EXIT_OK, result.exitCode);
  const std::wstring head = L"built-in  Phone: small H.264 MP4\nbuilt-in  Copy video, AAC audio\n";
  EXPECT_EQ(head, result.out.substr(0, head.size()));
  for (const std::wstring& name : {archive_, half_, broken_})
    EXPECT_NE(std::wstring::npos, result.out.find(L"\nsaved     " + name + L"\n")) << result.out.size();
}

}  // namespace
