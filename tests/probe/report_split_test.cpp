#include "probe/report_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One section as MediaInfo writes it for name, its "Complete name" padded to the value column.
std::string Section(const std::string& name,
                    const std::string& body = "Format                                   : MPEG-4\n") {
  return "General\nComplete name                            : " + name + "\n" + body + "\n";
}

TEST(SplitMediaReport, EachFileGetsItsOwnSectionOrNone) {
  const std::string a = Section("/v/a.mp4"), b = Section("/v/b b.mp4"), dash = Section("./-c.mp4");
  const std::string mkv =
      "General\nUnique ID                                : 1234 (0x4D2)\n"
      "Complete name                            : /v/m.mkv\nFormat                                   : "
      "Matroska\n\n"
      "Video\nID                                       : 1\n\n";
  const std::string injected = Section(
      "/v/evil.mp4", "Movie name                               : x / General / Complete name : /v/b b.mp4\n");
  struct Case {
    const char* what;
    std::string report;
    std::vector<std::wstring> names;
    std::vector<std::string> expected;  // each name's section; "" for none
  };
  const Case cases[] = {
      {"two files in order", a + b, {L"/v/a.mp4", L"/v/b b.mp4"}, {a, b}},
      {"a name given with ./", a + dash, {L"/v/a.mp4", L"./-c.mp4"}, {a, dash}},
      {"one file twice", a + a, {L"/v/a.mp4", L"/v/a.mp4"}, {a, a}},
      {"CR LF line ends",
       "General\r\nComplete name   : /v/a.mp4\r\nFormat   : MPEG-4\r\n\r\n" + b,
       {L"/v/a.mp4", L"/v/b b.mp4"},
       {"General\r\nComplete name   : /v/a.mp4\r\nFormat   : MPEG-4\r\n\r\n", b}},
      {"a section whose name is written otherwise",
       a + Section("/v/b / b.mp4"),
       {L"/v/a.mp4", L"/v/b\nb.mp4"},
       {a, ""}},
      {"a name with a trailing blank must match whole",
       a + Section("/v/b.mp4"),
       {L"/v/a.mp4", L"/v/b.mp4 "},
       {a, ""}},
      // A section goes only to the next name; one that does not give it loses the order.
      {"a file left out (MediaInfo could not open it)", b, {L"/v/a.mp4", L"/v/b b.mp4"}, {"", ""}},
      {"files left out between others",
       a + dash,
       {L"/v/a.mp4", L"/v/b b.mp4", L"/v/x.mp4", L"./-c.mp4"},
       {a, "", "", ""}},
      {"a line break written as \" / \" before the name that holds \" / \"",
       Section("/v/a / b.wav", "Duration : 3 s\n") + Section("/v/a / b.wav", "Duration : 7 s\n"),
       {L"/v/a\nb.wav", L"/v/a / b.wav"},
       {"", ""}},
      {"one file twice, once left out", a + b, {L"/v/a.mp4", L"/v/b b.mp4", L"/v/a.mp4"}, {a, b, ""}},
      {"sections out of the names' order go to no one", b + a, {L"/v/a.mp4", L"/v/b b.mp4"}, {"", ""}},
      {"a section of no file given", a + b, {L"/v/a.mp4"}, {a}},
      {"a line break in a tag cannot open a section",
       injected + b,
       {L"/v/evil.mp4", L"/v/b b.mp4"},
       {injected, b}},
      {"the name after other fields of the first part (Matroska)",
       a + mkv,
       {L"/v/a.mp4", L"/v/m.mkv"},
       {a, mkv}},
      {"the name of a later part is not the file's",
       a + "General\nFormat : x\n\nVideo\nComplete name : /v/b b.mp4\n\n",
       {L"/v/a.mp4", L"/v/b b.mp4"},
       {a, ""}},
      {"\"General\" without a name opens a section of no one's",
       a + "General\nFormat : x\n\n" + b,
       {L"/v/a.mp4", L"/v/b b.mp4"},
       {a, ""}},
      {"\"General\" opens a section only after a blank line",
       a + "Video\nGeneral\nComplete name : /v/b b.mp4\n",
       {L"/v/a.mp4"},
       {a + "Video\nGeneral\nComplete name : /v/b b.mp4\n"}},
      {"a key that only begins like the name's",
       a + "General\nComplete names : /v/b b.mp4\n",
       {L"/v/a.mp4", L"/v/b b.mp4"},
       {a, ""}},
      {"text before the first section: nothing is trusted",
       "MediaInfo says hello\n" + a,
       {L"/v/a.mp4"},
       {""}},
      {"nothing", "", {L"/v/a.mp4"}, {""}},
      {"no files", a, {}, {}},
#ifndef _WIN32
      // The report is read in the narrow code page, UTF-8 here.
      {"Korean",
       Section("/v/\xed\x95\x9c\xea\xb8\x80.mp4"),
       {L"/v/\ud55c\uae00.mp4"},
       {Section("/v/\xed\x95\x9c\xea\xb8\x80.mp4")}},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::string_view> sections = SplitMediaReport(c.report, c.names);
    ASSERT_EQ(sections.size(), c.names.size());
    for (size_t i = 0; i < sections.size(); ++i) EXPECT_EQ(std::string(sections[i]), c.expected[i]) << i;
  }
}

}  // namespace
