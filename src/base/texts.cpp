#include "base/texts.h"

namespace {
const wchar_t* Find(const CTextTable& table, TextId id) {
  for (size_t i = 0; i < table.count; ++i)
    if (table.entries[i].id == id) return table.entries[i].text;
  return nullptr;
}
}  // namespace

int32_t UiLanguageFromLangId(uint16_t langId) {
  return (langId & 0xFF) == 0x12 ? kUiLanguageKorean : kUiLanguageEnglish;
}

const wchar_t* Text(TextId id, int32_t uiLanguage) {
  const wchar_t* text = uiLanguage == kUiLanguageKorean ? Find(KoreanTexts(), id) : nullptr;
  if (text == nullptr) text = Find(EnglishTexts(), id);
  return text != nullptr ? text : L"";
}

std::wstring RefusalText(const CRefusal& refusal, int32_t uiLanguage) {
  if (!refusal.Refused()) return std::wstring();
  // A refusal that names a file has a place for it in its text; one that does not, has none.
  if (refusal.file.empty()) return FormatText(refusal.text, uiLanguage);
  const std::vector<std::wstring>& more = refusal.details;
  switch (more.size()) {
    case 0:
      return FormatText(refusal.text, uiLanguage, refusal.file);
    case 1:
      return FormatText(refusal.text, uiLanguage, refusal.file, more[0]);
    case 2:
      return FormatText(refusal.text, uiLanguage, refusal.file, more[0], more[1]);
    default:
      return FormatText(refusal.text, uiLanguage, refusal.file, more[0], more[1], more[2]);
  }
}
