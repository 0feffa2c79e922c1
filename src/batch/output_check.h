#pragma once
// The check of a command's output before it counts as done: an exit status of 0 is not enough
// (an input whose header promises more than its data holds converts with 0 into a shorter
// file). The output must be there, not be empty, and last as long as expected, within
// max(1 s, 2 %); where no length is expected, being there and not empty is enough.
#include "batch/batch_host.h"
#include "batch/file_command.h"

// Whether an output of actualSeconds is as long as expectedSeconds within max(1 s, 2 %). The
// lengths are whole seconds as MediaInfo's report gives them, which costs up to a second of
// either, so one second is the least slack.
bool LastsLongEnough(int actualSeconds, int expectedSeconds);

// The verdict on the output of a command that exited with 0. probe reads the output's length,
// only when a length is expected (one probe); an output it cannot read, or whose length it
// cannot tell, is not judged by length.
COutputReport CheckOutput(const CBatchCommand& command, const ProbeFunction& probe);
