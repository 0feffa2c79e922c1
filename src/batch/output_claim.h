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
// is read or changed.
OutputClaim ClaimOutput(CBatchCommand& command, COutputReservations& reserved, std::mutex& lock);
