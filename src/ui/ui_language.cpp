#include "ui/ui_language.h"

#include "base/texts.h"

int32_t UserUiLanguage() { return UiLanguageFromLangId(GetUserDefaultUILanguage()); }
