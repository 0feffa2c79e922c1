#pragma once
// The interface language of the dialogs: Korean labels when the user's interface language is
// Korean, English labels otherwise. Decided once per dialog object.
#include <windows.h>

#include <cstdint>

// 18 when the primary language (low byte) of id is Korean (0x12), otherwise 9.
int32_t UiLanguageFromLangId(LANGID id);
// The same for the user's default interface language.
int32_t UserUiLanguage();
