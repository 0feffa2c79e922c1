#pragma once
// The installer's tests work in a program folder of their own (a temporary folder named by
// KESTRUNE_PROGRAM_DIR, never the build's bin folder) against a local download server, with
// the trace and the messages captured. The release accepts no archive until a test says which
// (StartServer, AcceptServed). The installer joins and unpacks by itself, so no tool
// is put beside it. Natively PATH is narrowed to an empty folder, so an ffmpeg or mediainfo
// installed on the machine cannot count as found.
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

  // Makes dir (trailing separator) the program folder.
  void UseProgramFolder(const std::wstring& dir);
  // Serves the archives added to server, and makes the release accept them (AcceptServed); the
  // downloads go to folder below it from now on.
  void StartServer(const std::wstring& folder = L"");
  // Makes the release accept every file the started server publishes in a SHA256SUMS, as if the
  // program had been built with those lists.
  static void AcceptServed(const LocalHttpServer& served);
  // Writes a stand-in for a program (a small script) into dir.
  static std::wstring WriteStandIn(const std::wstring& dir, const std::wstring& name);
  // The file names in the program folder, sorted.
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
  std::wstring savedCurrentDir;
  std::wstring savedProgramDir;
};

// The stand-ins' content.
constexpr const char* kStandInContent = "#!/bin/sh\necho stand-in\n";
