#include "base/text.h"
#include "cli/cli_commands.h"

#ifndef KESTRUNE_VERSION
#error "KESTRUNE_VERSION comes from the project version in CMake"
#endif

std::wstring VersionText() { return CliFormat(TXT_CLI_VERSION, Utf8ToWide(KESTRUNE_VERSION)); }

std::wstring UsageText() { return CliText(TXT_CLI_USAGE); }
