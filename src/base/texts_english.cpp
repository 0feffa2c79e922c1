// The English table: what the window shows when the user's interface language is not Korean,
// and every word of the command line.
#include "base/kestrune_version.h"
#include "base/texts.h"

namespace {
const CTextEntry kEnglish[] = {
    {TXT_LABEL_HINT, L"Drag File Below"},
    {TXT_LABEL_FILE_REMOVE, L"File Remove"},
    {TXT_LABEL_MEDIA_INFO, L"Media Info"},
    {TXT_LABEL_VIDEO_GROUP, L"Video"},
    {TXT_LABEL_INPUT_CODEC, L"Input Codec"},
    {TXT_LABEL_OUTPUT_CODEC, L"Output Codec"},
    {TXT_LABEL_GPU, L"GPU Accelerate"},
    {TXT_LABEL_GPU_COMPAT, L"GPU Accel Comp"},
    {TXT_LABEL_COPY_VIDEO, L"Copy"},
    {TXT_LABEL_QUALITY_GROUP, L"Video Quality"},
    {TXT_LABEL_USE_VIDEO_BITRATE, L"Bitrate"},
    {TXT_LABEL_USE_QUANTIZER, L"QP"},
    {TXT_LABEL_AUDIO_GROUP, L"Audio"},
    {TXT_LABEL_STREAM, L"Stream"},
    {TXT_LABEL_ALL_AUDIO_TRACKS, L"All Audio Track"},
    {TXT_LABEL_AUDIO_COPY, L"Audio Copy(No Encoding)"},
    {TXT_LABEL_AUDIO_QUALITY, L"Quality"},
    {TXT_LABEL_RANGE_GROUP, L"Range"},
    {TXT_LABEL_RANGE_APPLY, L"Range Apply"},
    {TXT_LABEL_RANGE_COPY, L"Copy(No Encoding)"},
    {TXT_LABEL_RANGE_ACCURATE, L"More Accuracy(Less Comp)"},
    {TXT_LABEL_JOB_GROUP, L"Process Select"},
    {TXT_LABEL_JOB_VIDEO_EXTRACT, L"Video Extract"},
    {TXT_LABEL_JOB_AUDIO_EXTRACT, L"Audio Extract"},
    {TXT_LABEL_JOB_MERGE_FILES, L"Merge"},
    {TXT_LABEL_JOB_MERGE_VIDEO_AUDIO, L"Merge (Video+Audio)"},
    {TXT_LABEL_JOB_CONVERT, L"Convert"},
    {TXT_LABEL_START, L"Start Process"},
    {TXT_LABEL_COMMAND, L"FFmpeg Command Line"},
    {TXT_LABEL_HELP, L"Help :"},

    {TXT_WINDOW_TITLE, L"Kestrune v" KESTRUNE_VERSION_WIDE_TEXT},
    {TXT_BUILD_DATE, L"Build Date (2020/02/22)"},
    {TXT_QUESTION_CAPTION, L"Kestrune"},
    {TXT_AUDIO_COLUMN, L"Codec"},
    {TXT_AUDIO_ROW, L"%dk,CH=%d,%s,%s"},
    {TXT_OPEN_FILE_FILTER,
     L"Video(*.mp4)\0*.mp4;*.mkv;*.avi;*.webm\0"
     L"Audio(*.mp3)\0*.mp3;*.aac\0"
     L"All(*.*)\0*.*\0"},
    {TXT_STOP_CAPTION, L"Stop"},
    {TXT_GPU_UNAVAILABLE_QUESTION, L"GPU acceleration is not available on this computer.\nRun without it?"},
    {TXT_STOP_QUESTION, L"Stop the running job?\nThe file being made now is removed."},
    {TXT_RUN_STATUS, L"[%d/%d] %s"},
    {TXT_RUN_REPORT, L"done %d, failed %d, skipped %d"},
    {TXT_RUN_JOIN_DONE, L", join done"},
    {TXT_RUN_JOIN_FAILED, L", join failed"},
    {TXT_RUN_REPORT_SHORT, L", short %d"},
    {TXT_RUN_JOIN_SKIPPED, L", join skipped"},
    {TXT_RUN_JOIN_SHORT, L", join short"},
    {TXT_RUN_STOPPED, L", stopped"},
    {TXT_MEDIA_INFO_MISSING, L"MediaInfo.exe is missing. Download it from %s."},
    {TXT_GPU_CHECKING, L"Checking whether GPU acceleration works on this computer..."},
    {TXT_GPU_NO_ENCODER,
     L"GPU acceleration (%s) does not work on this computer, and this ffmpeg has no %s encoder to use "
     L"instead.\nNothing was started. Use an ffmpeg build that has it, or choose another output codec."},
    {TXT_CONSOLE_HOST_MISSING,
     L"kestrune-cli.exe is missing: %s\nThe window runs every command through it, so nothing was started. "
     L"Copy kestrune-cli.exe of the same version into the program's folder, beside kestrune.exe, or "
     L"install Kestrune again."},

    {TXT_INSTALL_FFMPEG_MESSAGE, L"FFmpeg.exe file not found\nVisit '%s'"},
    {TXT_INSTALL_MEDIAINFO_MESSAGE, L"MediaInfo.exe file not found\nVisit '%s'"},
    {TXT_INSTALL_BUTTON, L"Install"},
    {TXT_INSTALL_ALREADY_THERE, L"OK! 설치 완료"},
    {TXT_INSTALL_SUCCEEDED, L"OK! 설치 성공"},
    {TXT_INSTALL_FAILED, L"Error!! 설치 실패"},
    {TXT_INSTALL_REFUSE_ADDRESS_NOT_HTTPS,
     L"Nothing was downloaded: the download address is not HTTPS: %s\n(plain HTTP is used only from this "
     L"computer itself)"},
    {TXT_INSTALL_REFUSE_DOWNLOAD_FAILED, L"Could not download %s"},
    {TXT_INSTALL_REFUSE_REDIRECT_NOT_HTTPS,
     L"Not downloaded: the host sent %s on to an address that is not HTTPS."},
    {TXT_INSTALL_REFUSE_CHECKSUM_LIST_MISSING,
     L"Not installed: the SHA-256 list could not be fetched, so the downloads cannot be checked: %s"},
    {TXT_INSTALL_REFUSE_CHECKSUM_NOT_LISTED, L"Not installed: %s is not in the host's SHA-256 list."},
    {TXT_INSTALL_REFUSE_CHECKSUM_MISMATCH,
     L"Not installed: %s does not match its SHA-256 sum in the host's list (damaged or altered)."},
    {TXT_INSTALL_REFUSE_NAME_TAKEN,
     L"%s in the program folder is not a file Kestrune downloaded; move it elsewhere and install again."},
    {TXT_INSTALL_REFUSE_WRITE_FAILED, L"Cannot write into the program folder %s"},
    {TXT_INSTALL_REFUSE_ARCHIVE_DAMAGED, L"%s cannot be unpacked (a damaged zip archive)."},
    {TXT_INSTALL_REFUSE_PROGRAM_NOT_IN_ARCHIVE, L"%s does not hold %s."},

    {TXT_REFUSE_NEED_TWO_FILES, L"A merge needs at least two files."},
    {TXT_REFUSE_NEED_VIDEO_AND_AUDIO, L"A merge of video and audio needs one video file and one audio file."},
    {TXT_REFUSE_MEDIA_INFO_ERROR, L"MediaInfo cannot read the file."},
    {TXT_REFUSE_EMPTY_ENTRY, L"The list of files to join has an empty entry."},
    {TXT_REFUSE_NO_EXTENSION, L"A file to join needs an extension: %s"},
    {TXT_REFUSE_JOINED_EXTENSION, L"The joined file cannot take the extension of: %s"},
    {TXT_REFUSE_CONCAT_SEPARATOR, L"A file whose name holds '|' cannot be joined: %s"},
    {TXT_REFUSE_CONCAT_SEPARATOR_FOLDER,
     L"The files of a join cannot be written to a folder whose name holds '|': %s"},
    {TXT_REFUSE_STALE_PREVIEW,
     L"The video-and-audio merge command was not built for the current file list and output "
     L"folder; choose the job again."},
    {TXT_REFUSE_NOT_PROBED, L"cannot probe '%s'"},

    {TXT_CLI_USAGE,
     L"usage: kestrune probe [--json] FILE...\n"
     L"       kestrune plan [--json] [options] FILE...\n"
     L"       kestrune run [--report FILE] [--resume] [options] FILE...\n"
     L"       kestrune exec [--output FILE] COMMAND\n"
     L"       kestrune presets\n"
     L"       kestrune --help | --version\n"
     L"\n"
     L"probe  print what MediaInfo finds in each file (--json: every field, one JSON object per line)\n"
     L"plan   print the ffmpeg command lines a run would execute, in order, running nothing (--json: "
     L"JSON)\n"
     L"run    run those command lines, --jobs at once; Ctrl-C stops; exit code 0 only when all succeed\n"
     L"       (--report FILE: write the run's report there: each file, its command, output, outcome,\n"
     L"       the reason and the time taken; FILE must not exist yet; every run's report is also kept\n"
     L"       with the last runs'. --resume: leave out each file whose output an earlier run of the\n"
     L"       same options made whole, while the file and that output are unchanged)\n"
     L"exec   run one COMMAND as plan printed it (--output FILE: only when FILE is not there yet)\n"
     L"presets  list the presets --preset takes: the built-ins and those saved in the window\n"
     L"A FILE of plan and run that is a folder stands for the video and audio files below it, in\n"
     L"natural order; with --output-dir their outputs keep its tree of folders there.\n"
     L"\n"
     L"Options start from the window's defaults: convert to H.265 at 3000 kb/s, audio as AAC at\n"
     L"128 kb/s, every audio track; on the NVIDIA GPU when a short test encode finds that it works\n"
     L"with this ffmpeg on this computer, else on the CPU (the choice is said on standard error).\n"
     L"\n"
     L"  --preset NAME          the options of a preset; options after it win, it wins over those\n"
     L"                         before it\n"
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
     L"  --tracks 0,2|none / --all-tracks   audio tracks of the first file (default all; none: no\n"
     L"                         audio in its command)\n"
     L"  --copy-audio           copy audio instead of encoding it\n"
     L"  --abitrate N           audio bit rate in kb/s (default 128)\n"
     L"  --downmix              mix more than two channels down to two\n"
     L"  --force-audio          encode audio even when its bit rate is low\n"
     L"  --aac / --no-aac       encode audio as AAC (default on)\n"
     L"  --mp3-audio            encode audio as MP3\n"
     L"  --range H:M:S-H:M:S    cut a time range\n"
     L"  --range-copy / --no-range-copy   with a range: copy instead of encoding (default copy)\n"
     L"  --accurate             with a range: seek after opening the input\n"
     L"  --output-dir DIR       write every output into the folder DIR (default: beside its input)\n"
     L"  --keep-dates           give each output its input's modification time (a join: its first\n"
     L"                         file's)\n"
     L"  --pause                keep the \" & pause\" endings (wait for Enter at the end)\n"
     L"  --jobs N|auto          run up to N files at once (default 1; auto: one per core)\n"
     L"  --gpu-sessions N       with --jobs on the NVIDIA GPU: at most N encodes at once, the others\n"
     L"                         wait their turn (default 3; the GPU refuses more than it allows)\n"
     L"  --join-anyway          merge: join files whose streams differ (otherwise refused, exit code 2)\n"
     L"  --verbose              show ffmpeg's own output as it comes (otherwise, on a terminal or\n"
     L"                         with --jobs above 1, only its last lines when a command fails)\n"
     L"\n"
     L"A name taken since the plan gives way to the next free one as its command starts; a\n"
     L"command's output counts only when it lasts as long as expected (else: short, and kept) and\n"
     L"MediaInfo reads a stream in it (else: failed, and kept). A range that starts at or after a\n"
     L"file's end skips that file.\n"
     L"\n"
     L"Exit codes: 0 success, 1 a file failed, was skipped or came out short, 2 bad arguments or a\n"
     L"merge of files that differ (nothing runs), 3 ffmpeg or MediaInfo missing, 130 stopped (Ctrl-C:\n"
     L"the running commands end, their partial outputs are removed; a second Ctrl-C ends at once);\n"
     L"exec: the status of its COMMAND. Set KESTRUNE_TRACE=1 to see the trace on standard error.\n"},
    {TXT_CLI_VERSION, L"kestrune %s\n"},
    {TXT_CLI_MESSAGE, L"kestrune: %s\n"},
    {TXT_CLI_FFMPEG_MISSING,
     L"kestrune: ffmpeg not found (install the ffmpeg package, or put ffmpeg beside kestrune)\n"},
    {TXT_CLI_MEDIAINFO_MISSING,
     L"kestrune: MediaInfo not found (install the mediainfo package, or put mediainfo beside kestrune)\n"},
    {TXT_CLI_CANNOT_PROBE, L"kestrune: cannot probe '%s'\n"},
    {TXT_CLI_GPU_WORKS, L"kestrune: GPU acceleration works here: encoding on the NVIDIA GPU (%s)\n"},
    {TXT_CLI_GPU_UNAVAILABLE,
     L"kestrune: GPU acceleration is not available on this computer: encoding on the CPU (%s); --gpu forces "
     L"it\n"},
    {TXT_CLI_GPU_NO_ENCODER,
     L"kestrune: GPU acceleration (%s) does not work on this computer, and this ffmpeg has no %s encoder; "
     L"nothing was run (use an ffmpeg build with %s, or another --codec)\n"},
    {TXT_CLI_GPU_NOTE,
     L"kestrune: note: the conversion used the NVIDIA GPU (--gpu); without --gpu it is used only where it "
     L"works\n"},
    {TXT_CLI_RUN_SUMMARY, L"kestrune: %d %s: %d done, %d failed, %d skipped%s%s\n"},
    {TXT_CLI_FILE, L"file"},
    {TXT_CLI_FILES, L"files"},
    {TXT_CLI_JOIN_DONE, L", join done"},
    {TXT_CLI_JOIN_FAILED, L", join failed"},
    {TXT_CLI_JOIN_SKIPPED, L", join skipped"},
    {TXT_CLI_JOIN_SHORT, L", join short"},
    {TXT_CLI_SHORT_COUNT, L", %d short"},
    {TXT_CLI_STOPPED, L", stopped"},
    {TXT_CLI_COUNTER, L"[%d/%d]"},
    {TXT_CLI_COUNTER_JOIN, L"[join]"},
    {TXT_CLI_COUNTER_MERGE, L"[merge]"},
    {TXT_CLI_FILE_LINE, L"[%d/%d] %s\n"},
    {TXT_CLI_SKIPPED_NOT_PROBED, L"kestrune: [%d/%d] skipped, no command for it (cannot probe '%s')\n"},
    {TXT_CLI_COMMAND_STOPPED, L"kestrune: %s stopped: %s\n"},
    {TXT_CLI_COMMAND_FAILED, L"kestrune: %s failed, exit status %d: %s\n%s"},
    {TXT_CLI_OUTPUT_SHORT,
     L"kestrune: %s short: '%s' lasts %s s of the %s s expected; it is kept for you to check\n"},
    {TXT_CLI_OUTPUT_MISSING, L"kestrune: %s failed: ffmpeg exited with 0 but wrote nothing to '%s'\n"},
    {TXT_CLI_OUTPUT_UNCLAIMED,
     L"kestrune: %s failed: cannot create '%s' (the folder refused it); nothing was run\n"},
    {TXT_CLI_OUTPUT_RENAMED, L"kestrune: %s '%s' was taken since the plan; writing '%s' instead\n"},
    {TXT_CLI_OUTPUT_EXISTS, L"kestrune: '%s' is there already; its command is not run again\n"},
    {TXT_CLI_MISSING_COMMAND, L"missing command (probe, plan, run or exec); see 'kestrune --help'"},
    {TXT_CLI_UNKNOWN_COMMAND, L"unknown command '%s' (probe, plan, run or exec); see 'kestrune --help'"},
    {TXT_CLI_UNKNOWN_OPTION, L"unknown option '%s'; see 'kestrune --help'"},
    {TXT_CLI_OPTION_NOT_FOR, L"option '%s' does not apply to '%s'"},
    {TXT_CLI_OPTION_NOT_FOR_EXEC, L"option '%s' does not apply to 'exec'"},
    {TXT_CLI_OPTION_NEEDS_VALUE, L"option '%s' needs a value"},
    {TXT_CLI_OPTION_TAKES_NO_VALUE, L"option '%s' takes no value"},
    {TXT_CLI_OPTION_CHOICES, L"option '%s' takes %s, not '%s'"},
    {TXT_CLI_OPTION_RATE, L"option '%s' takes a positive whole number (kb/s), not '%s'"},
    {TXT_CLI_OPTION_JOBS, L"option '--jobs' takes a whole number from 1 to %d, or auto, not '%s'"},
    {TXT_CLI_OPTION_QP, L"option '--qp' takes a whole number, not '%s'"},
    {TXT_CLI_OPTION_TRACKS,
     L"option '--tracks' takes track numbers from 0 separated by commas (e.g. 0,2) or none, not '%s'"},
    {TXT_CLI_OPTION_RANGE, L"option '--range' takes H:M:S-H:M:S (e.g. 0:1:0-0:2:30), not '%s'"},
    {TXT_CLI_OPTION_NEEDS_RANGE, L"option '%s' needs '--range'"},
    {TXT_CLI_GPU_COMPAT_WITHOUT_GPU, L"option '--gpu-compat' needs the GPU, but '--no-gpu' was given"},
    {TXT_CLI_PAUSE_WITH_JOBS, L"option '--pause' needs one file at a time, but '--jobs' above 1 was given"},
    {TXT_CLI_OUTPUT_NEEDS_VALUE, L"option '--output' needs a value"},
    {TXT_CLI_OUTPUT_NEEDS_NAME, L"option '--output' needs a file name"},
    {TXT_CLI_EXEC_ONE_COMMAND, L"'exec' takes one COMMAND, as 'plan' prints it, in one argument"},
    {TXT_CLI_EMPTY_FILE, L"an empty FILE argument"},
    {TXT_CLI_NEEDS_FILE, L"'%s' needs at least one FILE"},
    {TXT_CLI_NO_SUCH_FILE, L"no such file: '%s'"},
    {TXT_CLI_OUTPUT_DIR_NEEDS_NAME, L"option '--output-dir' needs a folder name"},
    {TXT_CLI_NO_SUCH_FOLDER, L"option '--output-dir': no such folder: '%s'"},
    {TXT_CLI_FOLDER_NOT_WRITABLE, L"option '--output-dir': cannot write in '%s'"},

    {TXT_LABEL_FILE_ADD, L"Add File"},
    {TXT_LABEL_DOWNMIX, L"2 channels"},
    {TXT_LABEL_PIXEL_FORMAT, L"Pixel format"},
    {TXT_LABEL_FORCE_AUDIO, L"Force encode"},
    {TXT_LABEL_OUTPUT_FOLDER, L"Output folder"},
    {TXT_LABEL_BROWSE, L"Browse..."},
    {TXT_LABEL_KEEP_DATES, L"Keep source dates"},
    {TXT_LABEL_WHEN_DONE, L"When done"},
    {TXT_WHEN_DONE_NOTHING, L"Nothing"},
    {TXT_WHEN_DONE_CLOSE, L"Close"},
    {TXT_WHEN_DONE_SLEEP, L"Sleep"},
    {TXT_WHEN_DONE_SHUT_DOWN, L"Shut down"},
    {TXT_COUNTDOWN_SLEEP, L"Every file is done.\nThe computer goes to sleep in %d s."},
    {TXT_COUNTDOWN_SHUT_DOWN, L"Every file is done.\nThe computer shuts down in %d s."},
    {TXT_COUNTDOWN_CANCEL, L"Cancel"},
    {TXT_SLEEP_FAILED, L"The computer could not be put to sleep."},
    {TXT_SHUT_DOWN_FAILED, L"The computer could not be shut down."},
    {TXT_OUTPUT_FOLDER_PICK, L"Choose the folder for the output files."},
    {TXT_OUTPUT_FOLDER_MISSING, L"The output folder does not exist: %s\nNothing was started."},
    {TXT_OUTPUT_FOLDER_NOT_WRITABLE, L"No file can be made in the output folder: %s\nNothing was started."},
    {TXT_OUTPUT_FOLDER_NOT_FULL_PATH,
     L"Give the output folder as a full path, from its drive (such as D:\\Videos): %s\nNothing was started."},
    {TXT_INSTALL_REFUSE_MEMBER_TOO_LARGE,
     L"Not installed: %s in the archive holds more than its header declares (a damaged or hostile archive)."},
    {TXT_INSTALL_REFUSE_ARCHIVE_TOO_LARGE,
     L"Not installed: %s would unpack to more than 1 GB or more than 1000 files."},
    {TXT_INSTALL_REFUSE_RESERVED_NAME,
     L"Not installed: the archive holds a file named %s, a name Windows reserves for a device (or one "
     L"ending in a dot or a blank)."},
    {TXT_INSTALL_REFUSE_NOT_ACCEPTED,
     L"Not installed: %s is not an archive this Kestrune release accepts (its SHA-256 sum is not built "
     L"in). An administrator can add the sums of an organisation's own builds as download_sums under "
     L"HKEY_LOCAL_MACHINE\\Software\\Kestrune."},
    {TXT_REFUSE_RANGE_AFTER_END, L"%s: the range starts at %s, but the file ends at %s"},
    {TXT_REFUSE_JOIN_NO_VIDEO, L"%s: no video, the first part has video"},
    {TXT_REFUSE_JOIN_VIDEO_ONLY_HERE, L"%s: video, the first part has none"},
    {TXT_REFUSE_JOIN_VIDEO_CODEC, L"%s: %s video, the first part %s"},
    {TXT_REFUSE_JOIN_SIZE, L"%s: %s, the first part %s"},
    {TXT_REFUSE_JOIN_FRAME_RATE, L"%s: %s fps, the first part %s fps"},
    {TXT_REFUSE_JOIN_AUDIO_TRACKS, L"%s: %s audio tracks, the first part %s"},
    {TXT_REFUSE_JOIN_AUDIO_CODEC, L"%s: audio track %s in %s, the first part's in %s"},
    {TXT_REFUSE_JOIN_CHANNELS, L"%s: audio track %s with %s channel(s), the first part's with %s"},
    {TXT_REFUSE_JOIN_SAMPLE_RATE, L"%s: audio track %s at %s Hz, the first part's at %s Hz"},
    {TXT_JOIN_ANYWAY_QUESTION,
     L"The files to join differ:\n%s\nJoined, they may play wrong (picture, sound or length). Join them "
     L"anyway?"},
    {TXT_REASON_UNREADABLE, L"MediaInfo cannot read the output; it is kept for you to check"},
    {TXT_REASON_NO_STREAM, L"the output holds no audio or video stream; it is kept for you to check"},
    {TXT_REASON_NO_LENGTH, L"the output lasts 0 ms; it is kept for you to check"},
    {TXT_CLI_SKIPPED_REFUSED, L"kestrune: [%d/%d] skipped: %s\n"},
    {TXT_CLI_OUTPUT_UNREADABLE,
     L"kestrune: %s failed: MediaInfo cannot read '%s'; it is kept for you to check\n"},
    {TXT_CLI_OUTPUT_NO_STREAM,
     L"kestrune: %s failed: '%s' holds no audio or video stream; it is kept for you to check\n"},
    {TXT_CLI_OUTPUT_NO_LENGTH, L"kestrune: %s failed: '%s' lasts 0 ms; it is kept for you to check\n"},
    {TXT_CLI_JOIN_PARTS_DIFFER,
     L"kestrune: %s\nkestrune: the files to join differ, so the joined file may play wrong; nothing was run "
     L"(--join-anyway joins them all the same)\n"},
    {TXT_CLI_OPTION_GPU_SESSIONS, L"option '--gpu-sessions' takes a number from 1 to %d, not '%s'"},
    {TXT_CLI_GPU_SESSION_REFUSED,
     L"kestrune: %s failed: the GPU refused one more encode session (ffmpeg: OpenEncodeSessionEx failed): "
     L"%s\nkestrune: %d NVENC encodes may run at once; a lower --gpu-sessions keeps within what this GPU "
     L"allows\n"},
    {TXT_CLI_EXEC_OUTPUT_UNCLAIMED,
     L"kestrune: cannot create '%s' (the folder refused it); its command is not run\n"},
    {TXT_CLI_EXEC_OUTPUT_EMPTY, L"kestrune: the command exited with 0 but wrote nothing to '%s'\n"},
    {TXT_CLI_PARTIAL_RENAMED,
     L"kestrune: '%s' was left unfinished by a run that ended before checking it; renamed to '%s'\n"},
    {TXT_PARTIAL_RENAMED,
     L"A run that ended before checking this file left it unfinished; it was renamed:\n%s\n-> %s"},
    {TXT_RUN_TIME_LEFT, L"%s left"},
    {TXT_OUTCOME_DONE, L"done"},
    {TXT_OUTCOME_FAILED, L"failed"},
    {TXT_OUTCOME_SKIPPED, L"skipped"},
    {TXT_OUTCOME_SHORT, L"short"},
    {TXT_REASON_EXIT_STATUS, L"exit status %d: %s"},
    {TXT_REASON_EXIT_STATUS_ONLY, L"exit status %d"},
    {TXT_REASON_INTERRUPTED, L"ended by Ctrl-C in its console"},
    {TXT_REASON_NO_OUTPUT, L"exited with 0 but wrote nothing"},
    {TXT_REASON_UNCLAIMED, L"the folder refused the output's name; nothing was run"},
    {TXT_REASON_SHORT, L"the output lasts %s s of the %s s expected; it is kept for you to check"},
    {TXT_REASON_NOT_PROBED, L"MediaInfo could not read it; no command was made"},
    {TXT_REASON_STOPPED, L"the run was stopped"},
    {TXT_REASON_NOT_REACHED, L"not reached"},
    {TXT_REASON_PARTS_MISSING, L"not every file was remuxed, so nothing was joined"},
    {TXT_RUN_END_INTRO, L"Not every file came out whole:"},
    {TXT_RUN_END_ENTRY, L"%s %s\n%s: %s"},
    {TXT_RUN_END_MORE, L"... and %d more (see the run's report)"},
    {TXT_RUN_END_OPEN_REPORT, L"Open the run's report?"},
    {TXT_RUN_END_JOIN, L"[join]"},
    {TXT_CLI_REPORT_NEEDS_NAME, L"option '--report' needs a file name"},
    {TXT_CLI_REPORT_EXISTS, L"option '--report': '%s' exists already; a report never replaces a file"},
    {TXT_CLI_REPORT_NO_FOLDER, L"option '--report': cannot make '%s' (no such folder, or not writable)"},
    {TXT_CLI_REPORT_NOT_WRITTEN, L"kestrune: the run's report could not be written to '%s'\n"},
    {TXT_CLI_FOLDER_UNREADABLE, L"cannot read the folder '%s'; its files are left out"},
    {TXT_CLI_FOLDER_NO_MEDIA, L"no video or audio file below the folder '%s'"},
    {TXT_LABEL_FOLDER_ADD, L"Add folder"},
    {TXT_FOLDER_ADD_PICK, L"Choose a folder: its video and audio files are added to the list."},
    {TXT_FOLDERS_UNREADABLE, L"These folders could not be read; their files were not added:\n%s"},
    {TXT_FOLDER_NO_MEDIA, L"No video or audio file was found below this folder:\n%s"},
    {TXT_PRESET_PHONE, L"Phone: small H.264 MP4"},
    {TXT_PRESET_COPY_VIDEO_AAC, L"Copy video, AAC audio"},
    {TXT_LABEL_PRESET_SAVE, L"Save"},
    {TXT_LABEL_PRESET_DELETE, L"Delete"},
    {TXT_PRESET_NEEDS_NAME, L"Type a name for the preset in its box first, then press Save."},
    {TXT_PRESET_BAD_NAME, L"A preset's name has 1 to %d characters, none of them a line break or a control character."},
    {TXT_PRESET_IS_BUILT_IN, L"\"%s\" is a built-in preset: it cannot be changed or deleted. Save under another name."},
    {TXT_PRESET_REPLACE, L"A preset named \"%s\" exists. Replace it with the current options?"},
    {TXT_PRESET_DELETE_ASK, L"Delete the preset \"%s\"?"},
    {TXT_PRESET_UNKNOWN, L"There is no preset named \"%s\"."},
    {TXT_PRESET_DAMAGED, L"The preset \"%s\" is damaged and was not applied; the options are as they were."},
    {TXT_PRESET_DAMAGED_VALUES, L"The preset \"%s\" was applied without its damaged values: %s"},
    {TXT_PRESET_STORE_FAILED, L"The preset \"%s\" could not be written to the settings."},
    {TXT_CLI_PRESETS_NO_ARGUMENTS, L"presets takes no arguments"},
    {TXT_CLI_PRESET_BUILT_IN_ROW, L"built-in  %s\n"},
    {TXT_CLI_PRESET_SAVED_ROW, L"saved     %s\n"},
    {TXT_OUTCOME_RESUMED, L"done before"},
    {TXT_RUN_REPORT_RESUMED, L", done before %d"},
    {TXT_RESUME_QUESTION,
     L"An earlier run with these settings did not finish this list.\nContinue with the %d files not done?\n\n"
     L"Yes: the %d files done before are left as they are.\nNo: every file is run again."},
    {TXT_CLI_RESUMED_COUNT, L", %d done before"},
    {TXT_CLI_DONE_BEFORE, L"kestrune: [%d/%d] '%s' done before: keeps '%s'\n"},
    {TXT_CLI_RESUME_NOTHING, L"kestrune: no earlier run of these settings made any of these files whole\n"},
    {TXT_REFUSE_NO_VIDEO_TO_EXTRACT, L"%s: the file holds no video to extract"},
    {TXT_REFUSE_NO_AUDIO_TO_EXTRACT, L"%s: the file holds no audio to extract"},
};
}  // namespace

const CTextTable& EnglishTexts() {
  static const CTextTable table{kUiLanguageEnglish, kEnglish, sizeof kEnglish / sizeof kEnglish[0]};
  return table;
}
