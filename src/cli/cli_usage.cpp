#include "cli/cli_usage.h"

#include "base/text.h"

#ifndef KESTRUNE_VERSION
#error "KESTRUNE_VERSION comes from the project version in CMake"
#endif

std::wstring VersionText() { return L"kestrune " + Utf8ToWide(KESTRUNE_VERSION) + L"\n"; }

std::wstring UsageText() {
  return L"usage: kestrune probe [--json] FILE...\n"
         L"       kestrune plan [options] FILE...\n"
         L"       kestrune run [options] FILE...\n"
         L"       kestrune --help | --version\n"
         L"\n"
         L"probe  print what MediaInfo finds in each file (--json: every field, one JSON object per line)\n"
         L"plan   print the ffmpeg command lines a run would execute, in order, running nothing\n"
         L"run    run those command lines one after another; exit code 0 only when all succeed\n"
         L"\n"
         L"Options start from the window's defaults: convert to H.265 at 3000 kb/s, audio as AAC at\n"
         L"128 kb/s, every audio track; on the NVIDIA GPU when a short test encode finds that it works\n"
         L"with this ffmpeg on this computer, else on the CPU (the choice is said on standard error).\n"
         L"\n"
         L"  --job convert|video|audio|merge|merge-av   the job (default convert)\n"
         L"  --codec h264|h265|gif|wav|mp3              output codec (default h265)\n"
         L"  --gpu [auto] / --no-gpu   NVIDIA GPU: always / where it works (default) / never\n"
         L"  --gpu-compat           GPU decoding without naming the decoder\n"
         L"  --bitrate N / --no-bitrate   video bit rate in kb/s (default 3000)\n"
         L"  --qp N                 constant quantiser\n"
         L"  --copy-video           copy the video stream instead of encoding it\n"
         L"  --mp4, --mkv           force the container\n"
         L"  --scale1080            scale the picture to 1080 lines\n"
         L"  --pix-compat           add a compatible pixel format\n"
         L"  --tracks 0,2 / --all-tracks   audio tracks of the first file (default all)\n"
         L"  --copy-audio           copy audio instead of encoding it\n"
         L"  --abitrate N           audio bit rate in kb/s (default 128)\n"
         L"  --downmix              mix more than two channels down to two\n"
         L"  --force-audio          encode audio even when its bit rate is low\n"
         L"  --aac / --no-aac       encode audio as AAC (default on)\n"
         L"  --mp3-audio            encode audio as MP3\n"
         L"  --range H:M:S-H:M:S    cut a time range\n"
         L"  --range-copy / --no-range-copy   with a range: copy instead of encoding (default copy)\n"
         L"  --accurate             with a range: seek after opening the input\n"
         L"  --pause                keep the \" & pause\" endings (wait for Enter at the end)\n"
         L"\n"
         L"Exit codes: 0 success, 1 a file failed or was skipped, 2 bad arguments, 3 ffmpeg or\n"
         L"MediaInfo missing. Set KESTRUNE_TRACE=1 to see the trace on standard error.\n";
}
