#pragma once
// The installer's tests work in a program folder of their own (a temporary folder named by
// KESTRUNE_PROGRAM_DIR, never the build's bin folder) against a local download server, with
// the trace and the messages captured.
//  - Under Wine the folder gets a copy of the Wine bridge unzip.exe from the build's bin
//    folder, which hands "unzip NAME" to the host's unzip; cmd.exe joins the parts.
//  - Natively PATH is narrowed to a folder holding only unzip, so an ffmpeg or mediainfo
//    installed on the machine cannot count as found.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/local_http_server.h"
#include "install/scoped_env.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

class InstallFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes dir (trailing separator) the program folder, with the fixture's tools in it.
  void UseProgramFolder(const std::wstring& dir);
  // Serves the archives added to server; the downloads go to folder below it from now on.
  void StartServer(const std::wstring& folder = L"");
  // Writes a stand-in for a program (a small script) into dir.
  static std::wstring WriteStandIn(const std::wstring& dir, const std::wstring& name);
  // The file names in the program folder, sorted; the tools the fixture put there excluded.
  std::vector<std::wstring> ProgramFiles() const { return FolderFiles(program.Path()); }
  static std::vector<std::wstring> FolderFiles(const std::wstring& dir);
  std::string ReadFile(const std::wstring& path) const;

  TempDir program;
  TempDir serverDir;
  TempDir tools;
  LocalHttpServer server{serverDir.Path()};
  ScopedEnv env;
  TraceCapture trace;
  MessageCapture messages;
  bool withUnzip = true;  // false for tests that never unpack
  std::wstring binDir;  // the build's program folder, with the Wine bridges
  std::wstring savedCurrentDir;
  std::wstring savedProgramDir;
};

// The stand-ins' content.
constexpr const char* kStandInContent = "#!/bin/sh\necho stand-in\n";
