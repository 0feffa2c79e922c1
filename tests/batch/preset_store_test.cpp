// Presets in the real settings store: the registry (under Wine in the Windows build) or the
// settings files in a private configuration folder. Saved, listed, picked, replaced only when
// asked, deleted; the built-ins in both languages refuse both; hostile names stay value names.
#include "batch/preset_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/texts.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <filesystem>

#include "../install/scoped_env.h"
#endif

namespace {

class PresetStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    path = L"Software\\KestruneTest\\presets-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_EQ(0, store.Create(REGISTRY_CURRENT_USER, path));
#else
    std::wstring folder = config.Path();
    folder.pop_back();
    env.Set(L"XDG_CONFIG_HOME", folder);
    ASSERT_EQ(0, store.Create(REGISTRY_CURRENT_USER, L"Software\\Kestrune"));
#endif
  }
#ifdef _WIN32
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }
  std::wstring path;
#else
  TempDir config;
  ScopedEnv env;
#endif

  std::vector<std::wstring> Saved() {
    std::vector<std::wstring> names;
    for (const CPresetEntry& preset : ListPresets(store, kUiLanguageEnglish))
      if (!preset.builtIn) names.push_back(preset.name);
    return names;
  }

  CRegistryStore store;
};

TEST_F(PresetStoreTest, SavedPickedReplacedOnlyWhenAskedAndDeleted) {
  JobSettings phone;
  phone.outputCodec = OUT_H264;
  phone.videoBitRate = 1200;
  phone.outputFolder = L"D:\\out";
  ASSERT_EQ(PRESET_OK, SavePreset(store, L"phone", phone, false));
  JobSettings archive;
  archive.useQuantizer = true;
  ASSERT_EQ(PRESET_OK, SavePreset(store, L"archive", archive, false));
  EXPECT_EQ((std::vector<std::wstring>{L"archive", L"phone"}), Saved());

  JobSettings picked;
  std::vector<std::wstring> damaged;
  ASSERT_EQ(PRESET_OK, LoadPreset(store, L"phone", picked, damaged));
  EXPECT_EQ(OUT_H264, picked.outputCodec);
  EXPECT_EQ(1200, picked.videoBitRate);
  EXPECT_EQ(L"D:\\out", picked.outputFolder);
  EXPECT_TRUE(damaged.empty());

  JobSettings other;
  other.videoBitRate = 900;
  EXPECT_EQ(PRESET_EXISTS, SavePreset(store, L"phone", other, false));
  ASSERT_EQ(PRESET_OK, LoadPreset(store, L"phone", picked, damaged));
  EXPECT_EQ(1200, picked.videoBitRate);
  EXPECT_EQ(PRESET_OK, SavePreset(store, L"phone", other, true));
  ASSERT_EQ(PRESET_OK, LoadPreset(store, L"phone", picked, damaged));
  EXPECT_EQ(900, picked.videoBitRate);

  EXPECT_EQ(PRESET_OK, DeletePreset(store, L"phone"));
  EXPECT_EQ(PRESET_UNKNOWN, LoadPreset(store, L"phone", picked, damaged));
  EXPECT_EQ(PRESET_UNKNOWN, DeletePreset(store, L"phone"));
  EXPECT_EQ(std::vector<std::wstring>{L"archive"}, Saved());
}

TEST_F(PresetStoreTest, BuiltInsInEitherLanguageCannotBeSavedOverOrDeleted) {
  std::vector<std::wstring> names;
  for (TextId id : {TXT_PRESET_PHONE, TXT_PRESET_COPY_VIDEO_AAC}) {
    names.push_back(Text(id, kUiLanguageKorean));
    names.push_back(Text(id, kUiLanguageEnglish));
  }
  names.push_back(L"PHONE: SMALL H.264 MP4");
  for (const std::wstring& name : names) {
    SCOPED_TRACE(testing::Message() << names.size());
    EXPECT_EQ(PRESET_BUILT_IN, SavePreset(store, name, JobSettings(), true));
    EXPECT_EQ(PRESET_BUILT_IN, DeletePreset(store, name));
    JobSettings settings;
    settings.useGpu = false;
    settings.outputFolder = L"D:\\mine";
    std::vector<std::wstring> damaged;
    ASSERT_EQ(PRESET_OK, LoadPreset(store, name, settings, damaged));
    EXPECT_TRUE(damaged.empty());
    EXPECT_EQ(OUT_H264, settings.outputCodec);
    EXPECT_EQ(JOB_CONVERT, settings.jobKind);
    // The computer's own options stay the user's.
    EXPECT_FALSE(settings.useGpu);
    EXPECT_EQ(L"D:\\mine", settings.outputFolder);
  }
  const std::vector<CPresetEntry> korean = ListPresets(store, kUiLanguageKorean);
  ASSERT_EQ(2u, korean.size());
  EXPECT_TRUE(korean[0].builtIn && korean[1].builtIn);
  EXPECT_EQ(Text(TXT_PRESET_PHONE, kUiLanguageKorean), korean[0].name);
  EXPECT_TRUE(Saved().empty());
}

TEST_F(PresetStoreTest, HostileNamesStayNamesAndBadOnesAreRefused) {
  const std::wstring hostile[] = {L"../../../x", L"a\\b",   L"..",      L"%2F%00",
                                  L"\"q\" = 1",  L"설정 ☃", L"preset.x"};
  for (const std::wstring& name : hostile) {
    JobSettings settings;
    settings.quantizer = 5;
    ASSERT_EQ(PRESET_OK, SavePreset(store, name, settings, false)) << name.size();
  }
  for (const std::wstring& name : hostile) {
    JobSettings settings;
    std::vector<std::wstring> damaged;
    ASSERT_EQ(PRESET_OK, LoadPreset(store, name, settings, damaged));
    EXPECT_EQ(5, settings.quantizer);
  }
  EXPECT_EQ(7u, Saved().size());
  for (const std::wstring& bad : {std::wstring(), std::wstring(L"two\nlines"), std::wstring(L"tab\there"),
                                  std::wstring(kMostPresetNameChars + 1, L'n')}) {
    EXPECT_EQ(PRESET_BAD_NAME, SavePreset(store, bad, JobSettings(), true));
  }
  EXPECT_EQ(PRESET_OK, SavePreset(store, std::wstring(kMostPresetNameChars, L'n'), JobSettings(), true));
#ifndef _WIN32
  // Every name went into the one settings file: nothing else was made anywhere.
  std::vector<std::string> made;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(std::filesystem::path(config.Path())))
    made.push_back(entry.path().lexically_relative(config.Path()).string());
  EXPECT_EQ((std::vector<std::string>{"kestrune", "kestrune/user.software.kestrune.conf"}), made);
#endif
}

}  // namespace
