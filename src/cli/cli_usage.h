#pragma once
// The command line's help and version texts.
#include <string>

std::wstring UsageText();
std::wstring VersionText();  // "kestrune 1.0.2"
