// What a Windows 10/11 desktop expects of the programs: the manifest embedded in kestrune.exe
// and kestrune-cli.exe, the running program drawing with common controls 6, this test program
// using the same controls (so the layout tests measure the real look), and the one version in
// the caption and the version resource.
#include <gtest/gtest.h>
#include <windows.h>
// needs <windows.h> first
#include <psapi.h>

#include <string>

#include "base/kestrune_version.h"
#include "base/program_dir.h"
#include "base/text.h"
#include "ui/control_ids.h"
#include "ui/main_dlg.h"

namespace {

// The manifest resource (1, RT_MANIFEST) of an executable; empty when it has none.
std::string EmbeddedManifest(const std::wstring& path) {
  HMODULE module =
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return std::string();
  std::string text;
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    if (HGLOBAL loaded = LoadResource(module, found)) {
      const char* data = static_cast<const char*>(LockResource(loaded));
      if (data != nullptr) text.assign(data, SizeofResource(module, found));
    }
  }
  FreeLibrary(module);
  return text;
}

TEST(Manifest, BothProgramsCarryIt) {
  for (const wchar_t* program : {L"kestrune.exe", L"kestrune-cli.exe"}) {
    SCOPED_TRACE(WideToUtf8(program));
    std::string manifest = EmbeddedManifest(GetProgramDir() + program);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(
        manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true"
                      "</longPathAware>"),
        std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos)
        << "Windows 10 and 11";
  }
}

// The common controls a process draws with are the comctl32.dll it loaded: version 6 is the
// side-by-side assembly Microsoft.Windows.Common-Controls 6.0 (under Windows and Wine alike,
// C:\Windows\WinSxS\<arch>_microsoft.windows.common-controls_<key>_6.0.<build>_...\), the
// classic version 5 is the one in system32. (Wine's list view answers CCM_GETVERSION with 5
// whichever it is, so the loaded module is what tells here.)
bool IsCommonControls6(const std::wstring& modulePath) {
  std::wstring lower = ToLowerText(modulePath);
  size_t name = lower.rfind(L"\\comctl32.dll");
  if (name == std::wstring::npos || name + 13 != lower.size()) return false;
  size_t folder = lower.rfind(L"\\", name - 1);
  std::wstring assembly = lower.substr(folder + 1, name - folder - 1);
  return assembly.find(L"microsoft.windows.common-controls_") != std::wstring::npos &&
         assembly.find(L"_6.0.") != std::wstring::npos;
}

TEST(Manifest, TheTestsDrawWithCommonControls6) {
  wchar_t path[MAX_PATH] = {0};
  ASSERT_GT(GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH), 0u);
  EXPECT_TRUE(IsCommonControls6(path)) << WideToUtf8(path);
}

// The real program, found by its title as a user finds it; the modules of its process are
// read from this one (names only: no pointer of the other process is followed here).
TEST(Manifest, TheRunningProgramDrawsWithCommonControls6) {
  std::wstring commandLine = L"\"" + GetProgramDir() + L"kestrune.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             GetProgramDir().c_str(), &startup, &process));
  HWND window = nullptr;
  for (int attempt = 0; attempt < 600 && window == nullptr; ++attempt) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32770", MainWindowTitle(UserUiLanguage()))) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == process.dwProcessId && IsWindowVisible(found)) window = found;
    }
    if (window == nullptr && WaitForSingleObject(process.hProcess, 100) != WAIT_TIMEOUT) break;
  }
  EXPECT_NE(nullptr, window);
  if (window != nullptr) {
    std::wstring comctl;
    HMODULE modules[512];
    DWORD needed = 0;
    if (K32EnumProcessModules(process.hProcess, modules, sizeof modules, &needed)) {
      for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
        wchar_t path[MAX_PATH] = {0};
        if (K32GetModuleFileNameExW(process.hProcess, modules[i], path, MAX_PATH) == 0) continue;
        if (ToLowerText(path).find(L"comctl32.dll") != std::wstring::npos) comctl = path;
      }
    }
    EXPECT_TRUE(IsCommonControls6(comctl)) << "loaded: " << WideToUtf8(comctl);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

TEST(Version, CaptionAndVersionResourceShowTheProjectVersion) {
  EXPECT_EQ(std::wstring(MainWindowTitle(kUiLanguageKorean)),
            L"케스트룬 (Kestrune) v" + Utf8ToWide(KESTRUNE_VERSION_TEXT));
  EXPECT_EQ(std::wstring(MainWindowTitle(kUiLanguageEnglish)),
            L"Kestrune v" + Utf8ToWide(KESTRUNE_VERSION_TEXT));
  if (std::string(KESTRUNE_VERSION_TEXT) == "1.0.2") {
    EXPECT_EQ(std::wstring(MainWindowTitle(kUiLanguageKorean)), L"케스트룬 (Kestrune) v1.0.2");
  }

  std::wstring program = GetProgramDir() + L"kestrune.exe";
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS,
            static_cast<DWORD>(MAKELONG(KESTRUNE_VERSION_MINOR, KESTRUNE_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, KESTRUNE_VERSION_PATCH)));
  wchar_t* text = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041204b0\\ProductVersion",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(std::wstring(text), Utf8ToWide(KESTRUNE_VERSION_TEXT) + L".0");
}

}  // namespace
