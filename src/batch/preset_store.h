#pragma once
// The job options in the settings store: the set the window remembers between runs, each
// option a value of its own, and the presets, each a text value "preset.NAME" beside them (the
// name is only ever a value's name, never part of a key or a file name, so no name can reach
// outside the store). Two built-in presets, named in each language, are never stored: they
// cannot be saved over or deleted.
#include <cstdint>
#include <string>
#include <vector>

#include "base/registry_store.h"
#include "jobs/job_settings.h"

enum PresetStatus : int32_t {
  PRESET_OK = 0,
  PRESET_UNKNOWN,       // no preset of that name
  PRESET_BUILT_IN,      // a built-in's name: never saved over, never deleted
  PRESET_EXISTS,        // a saved preset has that name, and replacing it was not asked for
  PRESET_BAD_NAME,      // empty, longer than kMostPresetNameChars, or holding a control character
  PRESET_DAMAGED,       // the stored text is no preset at all
  PRESET_STORE_FAILED,  // the store refused the write
};

constexpr size_t kMostPresetNameChars = 64;

struct CPresetEntry {
  std::wstring name;
  bool builtIn = false;
};

// The built-ins first, named in uiLanguage, then the saved presets in name order.
std::vector<CPresetEntry> ListPresets(CRegistryStore& store, int32_t uiLanguage);

// Applies the preset name (a built-in's name in either language, or a saved one's) over
// settings. A built-in sets the options of its encoding and leaves the computer's own (the GPU,
// the output folder, the source's dates) as they are. damaged names each stored value that was
// passed over (PRESET_OK all the same); PRESET_DAMAGED leaves settings untouched.
PresetStatus LoadPreset(CRegistryStore& store, const std::wstring& name, JobSettings& settings,
                        std::vector<std::wstring>& damaged);
// Stores the kept options of settings as the preset name; an existing saved one only when
// replace is set.
PresetStatus SavePreset(CRegistryStore& store, const std::wstring& name, const JobSettings& settings,
                        bool replace);
PresetStatus DeletePreset(CRegistryStore& store, const std::wstring& name);
// True for a built-in's name in either language.
bool IsBuiltInPreset(const std::wstring& name);

// The window's remembered options, one value per kept option under its own name. A number out
// of range is stored as no value, so an older one does not come back.
void SaveKeptOptions(CRegistryStore& store, const JobSettings& settings);
// Applies each stored value the option can take over settings; a missing or damaged one leaves
// settings as it was.
void RestoreKeptOptions(CRegistryStore& store, JobSettings& settings);
