#pragma once
// The interpreter's "copy" where the platform has no Windows interpreter: "copy /b a + b  c"
// writes a and then b, byte for byte, into c.
#include <string>
#include <vector>

// words are the command's arguments after "copy". Switches (/a /b /d /l /n /v /y /-y /z, any
// case) are accepted and ignored: every copy is binary. Sources are joined by "+" words; the
// word after the last source is the destination, which is required. Nothing is written when
// a source cannot be read or is the destination itself; the destination appears only once it
// is complete. False with a message in error otherwise.
bool RunCopyCommand(const std::vector<std::wstring>& words, std::wstring& error);
