#pragma once
// The interface language of the dialogs: Korean labels when the user's interface language is
// Korean, English labels otherwise. Decided once per dialog object.
#include <windows.h>

#include <cstdint>

// UiLanguageFromLangId (base/texts.h) of the user's default interface language.
int32_t UserUiLanguage();
