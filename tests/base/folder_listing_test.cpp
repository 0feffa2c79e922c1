// The files below a folder: nested folders, natural order, names with blanks and Korean, hidden
// files and dot-files, links that lead back up the tree, and folders that cannot be read.
#include "base/folder_listing.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/text.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// "a/b" with the platform's separator.
std::wstring Native(std::wstring path) {
  for (wchar_t& c : path)
    if (c == L'/') c = kPathSeparator;
  return path;
}

bool IsMp4OrMp3(const std::wstring& name) {
  const std::wstring lower = ToLowerText(name);
  return lower.size() > 4 && (lower.compare(lower.size() - 4, 4, L".mp4") == 0 ||
                              lower.compare(lower.size() - 4, 4, L".mp3") == 0);
}

// The listing's files below dir, as "a/b" texts.
std::vector<std::wstring> Relative(const TempDir& dir, const std::wstring& root,
                                   const CFolderListing& listing) {
  std::vector<std::wstring> names;
  for (const std::wstring& file : listing.files) {
    std::wstring name = file.substr(dir.File(root).size() + 1);
    for (wchar_t& c : name)
      if (c == kPathSeparator) c = L'/';
    names.push_back(name);
  }
  return names;
}

}  // namespace

TEST(FolderListing, ListsTheTreeInNaturalOrderLeavingHiddenAndOtherFilesOut) {
  struct Link {
    const wchar_t* name;
    const wchar_t* target;  // below the root
  };
  const struct {
    const char* what;
    std::vector<const wchar_t*> files;  // below the root; folders made as needed
    std::vector<Link> links;
    std::vector<std::wstring> listed;
  } cases[] = {
      {"nested folders, a folder's files before its subfolders",
       {L"clip10.mp4", L"clip2.mp4", L"Clip1.MP4", L"b/x.mp3", L"a/y.mp4", L"a/sub/z.mp4", L"notes.txt"},
       {},
       {L"Clip1.MP4", L"clip2.mp4", L"clip10.mp4", L"a/y.mp4", L"a/sub/z.mp4", L"b/x.mp3"}},
      {"blanks and Korean, numbers inside names",
       {L"여행 2/클립 10.mp4", L"여행 2/클립 9.mp4", L"여행 10/a b.mp4", L"여행 2/클립 09a.mp4"},
       {},
       {L"여행 2/클립 9.mp4", L"여행 2/클립 09a.mp4", L"여행 2/클립 10.mp4", L"여행 10/a b.mp4"}},
#ifndef _WIN32
      {"dot-files and dot-folders", {L".hidden.mp4", L".cache/a.mp4", L"seen.mp4"}, {}, {L"seen.mp4"}},
#endif
      {"links back up the tree and a second way into one folder",
       {L"d/a.mp4", L"e.mp4"},
       {{L"d/up", L""}, {L"zz alias", L"d"}},
       {L"e.mp4", L"d/a.mp4"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    ASSERT_FALSE(dir.Folder(L"root").empty());
    for (const wchar_t* file : c.files) {
      std::wstring path = L"root/" + std::wstring(file);
      for (size_t cut = path.find(L'/', 5); cut != std::wstring::npos; cut = path.find(L'/', cut + 1))
        dir.Folder(Native(path.substr(0, cut)));
      dir.Write(Native(path));
    }
    bool linked = true;
    for (const Link& link : c.links)
      linked = linked && dir.LinkFolder(Native(L"root/" + std::wstring(link.name)),
                                        dir.File(Native(L"root/" + std::wstring(link.target))));
    if (!linked) {
      // A Windows program under Wine cannot make a link that works; the native run covers it.
      std::cout << "[  SKIPPED ] " << c.what << ": no folder link can be made here\n";
      continue;
    }
    CFolderListing listing = ListFolderFiles(dir.File(L"root"), IsMp4OrMp3);
    EXPECT_EQ(Relative(dir, L"root", listing), c.listed);
    EXPECT_TRUE(listing.unreadable.empty());
  }
}

TEST(FolderListing, NaturalOrderComparesNumbersByValueAndIgnoresCase) {
  const struct {
    const wchar_t* a;
    const wchar_t* b;
    bool less;
  } cases[] = {
      {L"2", L"10", true},
      {L"10", L"2", false},
      {L"clip2", L"Clip10", true},
      {L"a", L"B", true},
      {L"B", L"a", false},
      {L"clip 9", L"clip 010", true},
      {L"x1y2", L"x1y10", true},
      {L"file", L"file1", true},
      {L"클립 2", L"클립 10", true},
      {L"Same", L"same", true},
      {L"same", L"Same", false},
      {L"same", L"same", false},
      {L"99999999999999999999", L"100000000000000000000", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NaturalLess(c.a, c.b), c.less) << WideToUtf8(c.a) << " < " << WideToUtf8(c.b);
}

// A folder that cannot be read is named and passed over; the rest of the tree is listed. Root
// reads every folder whatever its mode, so as root the listing runs in a child that has become
// an ordinary user (nobody).
TEST(FolderListing, AnUnreadableFolderIsNamedAndPassedOver) {
#ifdef _WIN32
  GTEST_SKIP() << "a Windows program cannot take the reading of a folder away from itself";
#else
  TempDir dir;
  ASSERT_FALSE(dir.Folder(L"root").empty());
  ASSERT_FALSE(dir.Folder(L"root/locked").empty());
  ASSERT_FALSE(dir.Folder(L"root/open").empty());
  dir.Write(L"root/a.mp4");
  dir.Write(L"root/locked/secret.mp4");
  dir.Write(L"root/open/b.mp4");
  const std::wstring locked = dir.File(L"root/locked");
  ASSERT_EQ(chmod(PathToNative(locked).c_str(), 0), 0);
  auto listsAllButLocked = [&] {
    CFolderListing listing = ListFolderFiles(dir.File(L"root"), IsMp4OrMp3);
    return Relative(dir, L"root", listing) == std::vector<std::wstring>{L"a.mp4", L"open/b.mp4"} &&
           listing.unreadable == std::vector<std::wstring>{locked};
  };
  if (geteuid() != 0) {
    EXPECT_TRUE(listsAllButLocked());
  } else {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
      _exit(!dropped ? 2 : listsAllButLocked() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: the child could not become nobody";
  }
  chmod(PathToNative(locked).c_str(), 0755);
#endif
}
