#include "base/file_util.h"
#include "base/format.h"
#include "batch/output_claim.h"
#include "cli/cli_commands.h"
#include "cli/exit_codes.h"
#include "cli/run_interrupt.h"
#include "exec/command_interpreter.h"
#include "exec/command_stop.h"

namespace {
// The line's status as the process's exit status. POSIX keeps only 0 to 255: a program that
// cannot be found or started exits as a shell's would (127), any other status beyond that
// range as a failure.
int ExitStatusOf(int status) {
#ifdef _WIN32
  return status;
#else
  if (status == kNotFoundStatus) return 127;
  return status >= 0 && status <= 255 ? status : CLI_EXIT_FAILED;
#endif
}
}  // namespace

int RunExecCommand(CCliRequest& request, CCliOutput& out) {
  const std::wstring& output = request.execOutput;
  // A plan names files that were free when it was made. The output is claimed as run claims
  // it, created as an empty file that only one process can make: a plan run again later, or
  // by two exec at once, never writes over what another made, and what goes after a failure
  // or a stop is only this exec's own file.
  std::wstring made;
  bool own = false;
  if (!output.empty()) {
    const NewFileResult claim = CreateNewFile(output, &made);
    if (claim != NEW_FILE_MADE) {
      out.Err(CliFormat(claim == NEW_FILE_EXISTS ? TXT_CLI_OUTPUT_EXISTS : TXT_CLI_EXEC_OUTPUT_UNCLAIMED,
                        output));
      return CLI_EXIT_FAILED;
    }
    own = CommandOverwrites(request.commandText);
    // Without "-y" ffmpeg refuses any file there, the claim included: it is let go, and ffmpeg's
    // refusal guards the name (output_claim.h).
    if (!own) RemoveFile(output);
  }
  CCommandStop stop;
  // Alive until the partial output is gone: a closing console ends the process when it goes.
  CRunInterrupt interrupt([&stop] { stop.Stop(); });
  int status = RunCommandLine(request.commandText, &stop);
  const bool stopped = status != 0 && (stop.Stopped() || CRunInterrupt::Arrived());
  // An output left empty is the claim itself, or nothing an ffmpeg that exited with 0 made whole.
  const bool empty = status == 0 && !output.empty() && GetFileLength(output) == 0;
  // A claim let go gives no identity: only an ffmpeg that exited with 0 is known to have made
  // what lies there then.
  if ((own && status != 0) || empty) RemoveOwnOutput(output, own ? made : std::wstring());
  if (stopped) return CLI_EXIT_STOPPED;
  if (empty) {
    out.Err(CliFormat(TXT_CLI_EXEC_OUTPUT_EMPTY, output));
    return CLI_EXIT_FAILED;
  }
  return ExitStatusOf(status);
}
