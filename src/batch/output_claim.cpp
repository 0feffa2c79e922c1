#include "batch/output_claim.h"

#include "base/file_identity.h"
#include "base/file_util.h"
#include "base/trace.h"
#include "exec/command_line_split.h"
#include "jobs/command_builder.h"

namespace {
// Names tried before the claim gives up: only a folder filling up with new files as fast as
// the run numbers on could take them all.
constexpr int kMostNamesTried = 1000;
}  // namespace

OutputClaim ClaimOutput(CBatchCommand& command, COutputReservations& reserved, std::mutex& lock,
                        std::wstring* identity) {
  std::wstring name = command.output;
  for (int tried = 0; tried < kMostNamesTried; ++tried) {
    const NewFileResult made = CreateNewFile(name, identity);
    DebugLog(L"ClaimOutput-%d-%s", static_cast<int>(made), name);
    if (made == NEW_FILE_FAILED) return CLAIM_REFUSED;
    if (made == NEW_FILE_MADE) {
      if (name == command.output) return CLAIM_MADE;
      std::wstring text = WithOutputName(command.text, command.output, name);
      // Never seen: every command names its output last. A text that does not would write the
      // old name, so nothing runs.
      if (text.empty()) {
        RemoveFile(name);
        return CLAIM_REFUSED;
      }
      command.plannedOutput = command.output;
      command.output = name;
      command.text = text;
      return CLAIM_MADE;
    }
    std::lock_guard<std::mutex> guard(lock);
    name = FirstFreeName(name, &reserved);
    reserved.Reserve(name);
  }
  return CLAIM_REFUSED;
}

bool CommandOverwrites(const std::wstring& commandText) {
  for (const CommandWords& command : SplitCommandSequence(commandText))
    for (size_t i = 1; i < command.words.size(); ++i)
      if (command.words[i] == L"-y") return true;
  return false;
}

bool RemoveOwnOutput(const std::wstring& output, const std::wstring& made) {
  if (!FileExists(output)) return true;
  if (!made.empty() && FileIdentity(output) != made) {
    DebugLog(L"RemoveOwnOutput-not the run's-%s", output);
    return true;
  }
  return RemoveFileSoon(output);
}
