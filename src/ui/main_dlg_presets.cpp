// The preset row under the output folder: a box that lists the presets and takes a new name,
// Save and Delete. A pick sets the options over those shown (a damaged value is named and left
// as it was) and shows the command they make; the built-ins are never saved over or deleted.
#include <windows.h>

#include <vector>

#include "base/message.h"
#include "batch/preset_store.h"
#include "ui/control_ids.h"
#include "ui/main_dlg.h"

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
}  // namespace

void CMainDlg::FillPresets(const std::wstring& shown) {
  SendItemMessage(IDC_PRESET, CB_RESETCONTENT, 0, 0);
  if (registryStore) {
    for (const CPresetEntry& preset : ListPresets(*registryStore, uiLanguage))
      SendItemMessage(IDC_PRESET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.name.c_str()));
  }
  SetItemText(IDC_PRESET, shown);
}

std::wstring CMainDlg::PresetBoxName() const {
  std::wstring name = GetItemText(IDC_PRESET);
  size_t begin = 0, end = name.size();
  while (begin < end && IsBlank(name[begin])) ++begin;
  while (end > begin && IsBlank(name[end - 1])) --end;
  return name.substr(begin, end - begin);
}

void CMainDlg::OnSelectPreset() {
  LRESULT row = SendItemMessage(IDC_PRESET, CB_GETCURSEL, 0, 0);
  LRESULT length = row == CB_ERR ? CB_ERR : SendItemMessage(IDC_PRESET, CB_GETLBTEXTLEN, row, 0);
  if (!registryStore || length == CB_ERR) return;
  std::wstring name(static_cast<size_t>(length) + 1, L'\0');
  SendItemMessage(IDC_PRESET, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(name.data()));
  name.resize(static_cast<size_t>(length));

  JobSettings settings = KeptSettingsOfControls();
  std::vector<std::wstring> damaged;
  switch (LoadPreset(*registryStore, name, settings, damaged)) {
    case PRESET_OK:
      break;
    case PRESET_DAMAGED:
      ShowMessage(L"%s", FormatText(TXT_PRESET_DAMAGED, uiLanguage, name));
      return;
    default:
      // Deleted since the list was filled (by another window).
      ShowMessage(L"%s", FormatText(TXT_PRESET_UNKNOWN, uiLanguage, name));
      FillPresets(std::wstring());
      return;
  }
  ShowKeptSettings(settings);
  if (!damaged.empty()) {
    std::wstring values;
    for (const std::wstring& value : damaged) values += (values.empty() ? L"" : L", ") + value;
    ShowMessage(L"%s", FormatText(TXT_PRESET_DAMAGED_VALUES, uiLanguage, name, values));
  }
  UpdateCommandPreview();
}

void CMainDlg::OnButtonPresetSave() {
  const std::wstring name = PresetBoxName();
  if (!registryStore) return;
  if (name.empty()) {
    ShowMessage(L"%s", Text(TXT_PRESET_NEEDS_NAME, uiLanguage));
    return;
  }
  const JobSettings settings = KeptSettingsOfControls();
  PresetStatus status = SavePreset(*registryStore, name, settings, false);
  if (status == PRESET_EXISTS) {
    if (!AskYesNo(FormatText(TXT_PRESET_REPLACE, uiLanguage, name))) return;
    status = SavePreset(*registryStore, name, settings, true);
  }
  switch (status) {
    case PRESET_OK:
      FillPresets(name);
      break;
    case PRESET_BUILT_IN:
      ShowMessage(L"%s", FormatText(TXT_PRESET_IS_BUILT_IN, uiLanguage, name));
      break;
    case PRESET_BAD_NAME:
      ShowMessage(L"%s", FormatText(TXT_PRESET_BAD_NAME, uiLanguage, static_cast<int>(kMostPresetNameChars)));
      break;
    default:
      ShowMessage(L"%s", FormatText(TXT_PRESET_STORE_FAILED, uiLanguage, name));
      break;
  }
}

void CMainDlg::OnButtonPresetDelete() {
  const std::wstring name = PresetBoxName();
  if (!registryStore) return;
  if (name.empty()) {
    ShowMessage(L"%s", Text(TXT_PRESET_NEEDS_NAME, uiLanguage));
    return;
  }
  if (IsBuiltInPreset(name)) {
    ShowMessage(L"%s", FormatText(TXT_PRESET_IS_BUILT_IN, uiLanguage, name));
    return;
  }
  std::vector<std::wstring> damaged;
  JobSettings scratch;
  if (LoadPreset(*registryStore, name, scratch, damaged) == PRESET_UNKNOWN) {
    ShowMessage(L"%s", FormatText(TXT_PRESET_UNKNOWN, uiLanguage, name));
    return;
  }
  if (!AskYesNo(FormatText(TXT_PRESET_DELETE_ASK, uiLanguage, name))) return;
  if (DeletePreset(*registryStore, name) != PRESET_OK) {
    ShowMessage(L"%s", FormatText(TXT_PRESET_STORE_FAILED, uiLanguage, name));
    return;
  }
  FillPresets(std::wstring());
}
