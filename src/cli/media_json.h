#pragma once
// A probed file as one line of JSON: every field of MediaDesc, codec and language codes with
// their display names, audio tracks as an array of audioCount entries.
#include <string>

#include "probe/media_desc.h"

std::wstring FormatMediaJson(const MediaDesc& media);

// text as a JSON string literal, quotes included.
std::wstring JsonString(const std::wstring& text);
