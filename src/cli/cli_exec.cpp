#include "base/file_util.h"
#include "base/format.h"
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
  // A plan names files that were free when it was made; run again later, its commands (which
  // overwrite with -y) would replace what the first run made.
  if (!output.empty() && FileExists(output)) {
    out.Err(CliFormat(TXT_CLI_OUTPUT_EXISTS, output));
    return CLI_EXIT_FAILED;
  }
  CCommandStop stop;
  // Alive until the partial output is gone: a closing console ends the process when it goes.
  CRunInterrupt interrupt([&stop] { stop.Stop(); });
  int status = RunCommandLine(request.commandText, &stop);
  if (status != 0 && (stop.Stopped() || CRunInterrupt::Arrived())) {
    // Stopped: what the command had written of its output goes; the name was free before it.
    if (!output.empty() && FileExists(output)) RemoveFileSoon(output);
    return CLI_EXIT_STOPPED;
  }
  return ExitStatusOf(status);
}
