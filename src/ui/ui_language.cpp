#include "ui/ui_language.h"

#include "install/installer.h"

int32_t UiLanguageFromLangId(LANGID id) {
  return (id & 0xFF) == 0x12 ? kUiLanguageKorean : kUiLanguageEnglish;
}

int32_t UserUiLanguage() { return UiLanguageFromLangId(GetUserDefaultUILanguage()); }
