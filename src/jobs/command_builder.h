#pragma once
// Turns one input file, its description and the job settings into one ffmpeg command line for
// the command interpreter. Pure: it reads what it is handed and returns the command's text and
// the file it writes, or why it made none. Probing the file first is the caller's
// (batch/file_command.h); a run reserves each output it is handed before the next build.
#include <string>

#include "base/texts.h"
#include "jobs/job_settings.h"
#include "jobs/output_naming.h"
#include "probe/media_desc.h"

// One build's outcome.
struct CBuiltCommand {
  std::wstring text;    // the command line; empty when none was made
  std::wstring output;  // the file it writes (for a merge of files, its intermediate)
  CRefusal refusal;     // why none was made
  // How long the output must last, in milliseconds: what the streams the command keeps can
  // give (ExpectedOutputMs); 0 when that cannot be told.
  int64_t expectedMs = 0;
  // The command encodes its video with NVENC, whose encode sessions the GPU limits.
  bool gpuEncode = false;

  bool Made() const { return !refusal.Refused(); }
};

// The ffmpeg encoder of an H.264 or H.265 output: NVENC on the GPU, x264 or x265 on the CPU;
// empty for any other output codec.
const wchar_t* VideoEncoderName(int32_t outputCodec, bool useGpu);

// The file whose description a build of inputPath needs: inputPath itself, or for a merge of
// video and audio the video file among the first two of settings.files (empty when there is
// none: the build then refuses without a description).
std::wstring FileToDescribe(const JobSettings& settings, const std::wstring& inputPath);

// The command of inputPath for the job of settings. media describes FileToDescribe's file; null
// when it could not be probed, which refuses with TXT_REFUSE_NOT_PROBED (a merge of video and
// audio: TXT_REFUSE_MEDIA_INFO_ERROR). A range that starts at or after the file's end refuses
// with TXT_REFUSE_RANGE_AFTER_END (RangeAfterEnd), an extract of a stream the file does not hold
// with NothingToExtract's refusal. The output is never a name that reserved
// holds or that exists. The audio-track selection applies only when settings.firstFileOfBatch is set (a run
// sets it in its own copy of the settings). pause appends " & pause" (a merge of video and audio
// carries its own).
CBuiltCommand BuildCommand(const JobSettings& settings, const std::wstring& inputPath, const MediaDesc* media,
                           const COutputReservations& reserved, bool pause);

// How long the output of the job of settings must last, in milliseconds, media describing its
// input (for a merge of video and audio, its video file): the video's length where the output
// keeps the video, else the first audio track's that it keeps, else the file's; cut to the range
// where one applies. Each length is media's exact one where it was measured, else its whole
// seconds, which never exceed it. A lower bound, never more than the output surely holds: a
// track the command leaves out cannot make it look short. 0 when the length cannot be told:
// the description has none, or the output or the input is a GIF (MediaInfo gives no length for
// one).
int64_t ExpectedOutputMs(const JobSettings& settings, const MediaDesc& media);

// Why a range that settings apply cannot run on the file media describes: it starts at or after
// the file's end (its longest stream). No refusal when it starts before, when no range applies
// or none of the job's, and when the file's length is not known. Without a measured length the
// report's whole seconds (whole minutes from an hour on) are all there is, so only a start past
// what they can stand for is refused. The refusal names inputPath, the start and the end.
CRefusal RangeAfterEnd(const JobSettings& settings, const MediaDesc& media, const std::wstring& inputPath);

// Why an extract cannot run on the file media describes: a video extract of a file without
// video (TXT_REFUSE_NO_VIDEO_TO_EXTRACT), an audio extract of one without audio
// (TXT_REFUSE_NO_AUDIO_TO_EXTRACT). Either would write a file of what the user did not ask for.
CRefusal NothingToExtract(const JobSettings& settings, const MediaDesc& media, const std::wstring& inputPath);

// Every command made here and in merge_commands.h names its output last, as one argument in
// quotes, before an optional " & pause": text with newOutput in place of output there. Empty
// when text does not end with output so.
std::wstring WithOutputName(const std::wstring& text, const std::wstring& output,
                            const std::wstring& newOutput);
