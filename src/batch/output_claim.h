#pragma once
// The claim of a command's output name as the command starts. The name was chosen when the
// command was built, which may be long before (a run of several files at once builds every
// command first): another run, the user or a sync tool may have put a file there since. The
// claim creates the name as an empty file, which only one process can do, so two runs at once
// never write to one name and no run writes over a file it did not make; the command's own
// "-y" then writes over the run's empty claim.
#include <mutex>

#include "batch/batch_host.h"
#include "jobs/output_naming.h"

enum OutputClaim {
  CLAIM_MADE = 0,  // command.output is the run's own now (maybe a new name; see ClaimOutput)
  CLAIM_REFUSED,   // the folder would not create it (missing, read-only, full): nothing changed
};

// Claims command.output. A name that something holds gives way to the next free one by the
// naming rule (FirstFreeName over reserved, which then holds it too), and the command's text
// is made anew with it (WithOutputName); plannedOutput keeps the name the build chose.
// reserved is shared by the commands of a run that may start at once: lock is held while it
// is read or changed. made, when given, receives the identity of the claim (FileIdentity).
OutputClaim ClaimOutput(CBatchCommand& command, COutputReservations& reserved, std::mutex& lock,
                        std::wstring* made = nullptr);

// Whether a command line writes over what it finds under its output's name: one of its
// programs is given "-y". ffmpeg without it refuses any file there, an empty claim included,
// so such a command's claim is let go just before it starts; the file then under the name is
// no longer known to be the run's.
bool CommandOverwrites(const std::wstring& commandText);

// Removes the output of a command that did not end well, the run's own: only while the file
// under its name is still the one the run made (made, as ClaimOutput gave it), never a file
// that took the name since. An empty made (the file system gives no IDs) leaves the name
// alone to decide. True when nothing of the run's is left there.
bool RemoveOwnOutput(const std::wstring& output, const std::wstring& made);
