#include "base/kestrune_version.h"
#include "base/message.h"
#include "base/program_dir.h"
#include "base/registry_store.h"
#include "batch/preset_store.h"
#include "cli/cli_commands.h"
#include "cli/exit_codes.h"

namespace {
// Messages the core shows (in the window, message boxes) go to standard error while the
// command line runs.
class CMessageRedirect {
 public:
  explicit CMessageRedirect(CCliOutput& out)
      : previous_(
            SetMessageSink([&out](const std::wstring& text) { out.Err(CliFormat(TXT_CLI_MESSAGE, text)); })) {
  }
  ~CMessageRedirect() { SetMessageSink(previous_); }

 private:
  MessageSink previous_;
};
}  // namespace

// One line per preset, the built-ins first; the names a --preset takes.
int RunPresetsCommand(CCliOutput& out) {
  CRegistryStore store;
  store.Create(REGISTRY_LOCAL_MACHINE, kRegistryKeyPath);
  for (const CPresetEntry& preset : ListPresets(store, kUiLanguageEnglish)) {
    out.Out(CliFormat(preset.builtIn ? TXT_CLI_PRESET_BUILT_IN_ROW : TXT_CLI_PRESET_SAVED_ROW, preset.name));
  }
  return CLI_EXIT_OK;
}

std::wstring VersionText() { return CliFormat(TXT_CLI_VERSION, KESTRUNE_VERSION_WIDE_TEXT); }

std::wstring UsageText() { return CliText(TXT_CLI_USAGE); }

int RunKestrune(const std::vector<std::wstring>& args, CCliOutput& out) {
  CCliRequest request;
  std::wstring error;
  if (!ParseCliArguments(args, request, error)) {
    out.Err(CliFormat(TXT_CLI_MESSAGE, error));
    return CLI_EXIT_USAGE;
  }
  switch (request.command) {
    case CLI_COMMAND_HELP:
      out.Out(UsageText());
      return CLI_EXIT_OK;
    case CLI_COMMAND_VERSION:
      out.Out(VersionText());
      return CLI_EXIT_OK;
    default:
      break;
  }
  for (const std::wstring& notice : request.notices) out.Err(CliFormat(TXT_CLI_MESSAGE, notice));
  if (request.command == CLI_COMMAND_PRESETS) return RunPresetsCommand(out);
  CMessageRedirect redirect(out);
  SetProgramDir(GetProgramDir());
  if (request.command == CLI_COMMAND_PROBE) return RunProbeCommand(request, out);
  if (request.command == CLI_COMMAND_EXEC) return RunExecCommand(request, out);
  return RunBatchCommand(request, out, request.command == CLI_COMMAND_PLAN);
}
