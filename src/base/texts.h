#pragma once
// Every text the user reads, one table per language: the window's labels, questions, messages
// and status line, the install dialog, the refusals of a job, and the command line's words. A
// text is named by its id; the table of the interface language words it, and a "%s" or "%d" in
// it is filled by FormatText. A language is one table (texts_korean.cpp, texts_english.cpp); a
// text that a table lacks is taken from the English one. The command line speaks English
// whatever the locale: scripts read its lines.
//
// Not here: the dialog templates' own texts (the resource script is the template), the names of
// codecs and languages (data, the same in every language) and the trace, which is for developers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/format.h"

// The interface languages, by the primary language of the user's interface language.
constexpr int32_t kUiLanguageKorean = 18;
constexpr int32_t kUiLanguageEnglish = 9;

// 18 when the primary language (low byte) of a Windows language identifier is Korean (0x12),
// otherwise 9.
int32_t UiLanguageFromLangId(uint16_t langId);

enum TextId : int {
  TXT_NONE = 0,

  // The main window's labels, applied at start in this order (the control each belongs to is
  // the window's business).
  TXT_LABEL_HINT,
  TXT_LABEL_FILE_REMOVE,
  TXT_LABEL_MEDIA_INFO,
  TXT_LABEL_VIDEO_GROUP,
  TXT_LABEL_INPUT_CODEC,
  TXT_LABEL_OUTPUT_CODEC,
  TXT_LABEL_GPU,
  TXT_LABEL_GPU_COMPAT,
  TXT_LABEL_COPY_VIDEO,
  TXT_LABEL_QUALITY_GROUP,
  TXT_LABEL_USE_VIDEO_BITRATE,
  TXT_LABEL_USE_QUANTIZER,
  TXT_LABEL_AUDIO_GROUP,
  TXT_LABEL_STREAM,
  TXT_LABEL_ALL_AUDIO_TRACKS,
  TXT_LABEL_AUDIO_COPY,
  TXT_LABEL_AUDIO_QUALITY,
  TXT_LABEL_RANGE_GROUP,
  TXT_LABEL_RANGE_APPLY,
  TXT_LABEL_RANGE_COPY,
  TXT_LABEL_RANGE_ACCURATE,
  TXT_LABEL_JOB_GROUP,
  TXT_LABEL_JOB_VIDEO_EXTRACT,
  TXT_LABEL_JOB_AUDIO_EXTRACT,
  TXT_LABEL_JOB_MERGE_FILES,
  TXT_LABEL_JOB_MERGE_VIDEO_AUDIO,
  TXT_LABEL_JOB_CONVERT,
  TXT_LABEL_START,
  TXT_LABEL_COMMAND,
  TXT_LABEL_HELP,

  // The main window's other texts.
  TXT_WINDOW_TITLE,      // the caption, with the version
  TXT_BUILD_DATE,        // in the About box
  TXT_QUESTION_CAPTION,  // the caption of the window's questions
  TXT_AUDIO_COLUMN,      // the audio track list's column
  TXT_AUDIO_ROW,         // "%dk,CH=%d,%s,%s": rate, channels, language, codec of a track
  TXT_OPEN_FILE_FILTER,  // the open-file dialog's filter pairs, each part ended by a NUL
  TXT_STOP_CAPTION,      // the Start button while a run goes on
  TXT_GPU_UNAVAILABLE_QUESTION,
  TXT_STOP_QUESTION,
  TXT_RUN_STATUS,        // "[%d/%d] %s"
  TXT_RUN_REPORT,        // "%d %d %d": done, failed, skipped
  TXT_RUN_REPORT_SHORT,  // "%d": outputs shorter than expected, after the report when there are any
  TXT_RUN_JOIN_DONE,
  TXT_RUN_JOIN_FAILED,
  TXT_RUN_JOIN_SKIPPED,
  TXT_RUN_JOIN_SHORT,
  TXT_RUN_STOPPED,
  TXT_MEDIA_INFO_MISSING,    // "%s": the download page
  TXT_GPU_CHECKING,          // the status line while Start checks the GPU
  TXT_GPU_NO_ENCODER,        // "%s" "%s": the NVIDIA encoder, the CPU's encoder the build lacks
  TXT_CONSOLE_HOST_MISSING,  // "%s": where kestrune-cli.exe should be

  // The missing-tool dialog and its install.
  TXT_INSTALL_FFMPEG_MESSAGE,     // "%s": the download page
  TXT_INSTALL_MEDIAINFO_MESSAGE,  // "%s": the download page
  TXT_INSTALL_BUTTON,
  TXT_INSTALL_ALREADY_THERE,
  TXT_INSTALL_SUCCEEDED,
  TXT_INSTALL_FAILED,
  TXT_INSTALL_REFUSE_ADDRESS_NOT_HTTPS,       // "%s": the download address
  TXT_INSTALL_REFUSE_DOWNLOAD_FAILED,         // "%s": the address that could not be fetched
  TXT_INSTALL_REFUSE_REDIRECT_NOT_HTTPS,      // "%s": the address that was redirected
  TXT_INSTALL_REFUSE_CHECKSUM_LIST_MISSING,   // "%s": the list's address
  TXT_INSTALL_REFUSE_CHECKSUM_NOT_LISTED,     // "%s": the archive
  TXT_INSTALL_REFUSE_CHECKSUM_MISMATCH,       // "%s": the archive
  TXT_INSTALL_REFUSE_NAME_TAKEN,              // "%s": the user's file in the way
  TXT_INSTALL_REFUSE_WRITE_FAILED,            // "%s": the program folder
  TXT_INSTALL_REFUSE_ARCHIVE_DAMAGED,         // "%s": the archive
  TXT_INSTALL_REFUSE_PROGRAM_NOT_IN_ARCHIVE,  // "%s" "%s": the archive, the program it lacks

  // Why a job made no command or a run did not start; "%s" is the file named.
  TXT_REFUSE_NEED_TWO_FILES,
  TXT_REFUSE_NEED_VIDEO_AND_AUDIO,
  TXT_REFUSE_MEDIA_INFO_ERROR,
  TXT_REFUSE_EMPTY_ENTRY,
  TXT_REFUSE_NO_EXTENSION,
  TXT_REFUSE_JOINED_EXTENSION,
  TXT_REFUSE_CONCAT_SEPARATOR,
  TXT_REFUSE_CONCAT_SEPARATOR_FOLDER,  // "%s": the output folder
  TXT_REFUSE_STALE_PREVIEW,
  TXT_REFUSE_NOT_PROBED,  // a file that MediaInfo could not read; the window says nothing of it

  // The command line.
  TXT_CLI_USAGE,
  TXT_CLI_VERSION,  // "%s": the version
  TXT_CLI_MESSAGE,  // "%s": any message, as the command line prefixes it
  TXT_CLI_FFMPEG_MISSING,
  TXT_CLI_MEDIAINFO_MISSING,
  TXT_CLI_CANNOT_PROBE,     // "%s": the file
  TXT_CLI_GPU_WORKS,        // "%s": the encoder
  TXT_CLI_GPU_UNAVAILABLE,  // "%s": the encoder used instead
  TXT_CLI_GPU_NOTE,
  TXT_CLI_GPU_NO_ENCODER,  // "%s" "%s" "%s": the NVIDIA encoder, the CPU's encoder, the CPU's encoder
  TXT_CLI_RUN_SUMMARY,     // "%d %s: %d done, %d failed, %d skipped%s%s"
  TXT_CLI_FILE,
  TXT_CLI_FILES,
  TXT_CLI_JOIN_DONE,
  TXT_CLI_JOIN_FAILED,
  TXT_CLI_JOIN_SKIPPED,
  TXT_CLI_JOIN_SHORT,
  TXT_CLI_SHORT_COUNT,  // ", %d short", in the summary when there are any
  TXT_CLI_STOPPED,
  TXT_CLI_COUNTER,  // "[%d/%d]"
  TXT_CLI_COUNTER_JOIN,
  TXT_CLI_COUNTER_MERGE,
  TXT_CLI_FILE_LINE,           // "[%d/%d] %s"
  TXT_CLI_SKIPPED_NOT_PROBED,  // "[%d/%d] ... '%s'"
  TXT_CLI_COMMAND_STOPPED,     // "%s stopped: %s": counter, file or command
  TXT_CLI_COMMAND_FAILED,      // counter, status, file or command, ffmpeg's last lines
  TXT_CLI_OUTPUT_SHORT,        // counter, output, its length, the length expected (SecondsText)
  TXT_CLI_OUTPUT_MISSING,      // counter, output
  TXT_CLI_OUTPUT_UNCLAIMED,    // counter, output
  TXT_CLI_OUTPUT_RENAMED,      // counter, the planned output, the one written instead
  TXT_CLI_OUTPUT_EXISTS,       // "%s": exec --output's file
  TXT_CLI_MISSING_COMMAND,
  TXT_CLI_UNKNOWN_COMMAND,        // "%s"
  TXT_CLI_UNKNOWN_OPTION,         // "%s"
  TXT_CLI_OPTION_NOT_FOR,         // "%s" "%s": option, command
  TXT_CLI_OPTION_NOT_FOR_EXEC,    // "%s"
  TXT_CLI_OPTION_NEEDS_VALUE,     // "%s"
  TXT_CLI_OPTION_TAKES_NO_VALUE,  // "%s"
  TXT_CLI_OPTION_CHOICES,         // "%s" "%s" "%s": option, choices, value
  TXT_CLI_OPTION_RATE,            // "%s" "%s": option, value
  TXT_CLI_OPTION_JOBS,            // "%d" "%s": the most, value
  TXT_CLI_OPTION_QP,              // "%s"
  TXT_CLI_OPTION_TRACKS,          // "%s"
  TXT_CLI_OPTION_RANGE,           // "%s"
  TXT_CLI_OPTION_NEEDS_RANGE,     // "%s"
  TXT_CLI_GPU_COMPAT_WITHOUT_GPU,
  TXT_CLI_PAUSE_WITH_JOBS,
  TXT_CLI_OUTPUT_NEEDS_VALUE,
  TXT_CLI_OUTPUT_NEEDS_NAME,
  TXT_CLI_EXEC_ONE_COMMAND,
  TXT_CLI_EMPTY_FILE,
  TXT_CLI_NEEDS_FILE,    // "%s": the command
  TXT_CLI_NO_SUCH_FILE,  // "%s"
  TXT_CLI_OUTPUT_DIR_NEEDS_NAME,
  TXT_CLI_NO_SUCH_FOLDER,       // "%s": --output-dir's folder
  TXT_CLI_FOLDER_NOT_WRITABLE,  // "%s": --output-dir's folder

  // The output folder, the action when a run is done, the source's dates, and the labels that
  // had only their template's Korean text.
  TXT_LABEL_FILE_ADD,
  TXT_LABEL_DOWNMIX,
  TXT_LABEL_PIXEL_FORMAT,
  TXT_LABEL_FORCE_AUDIO,
  TXT_LABEL_OUTPUT_FOLDER,
  TXT_LABEL_BROWSE,
  TXT_LABEL_KEEP_DATES,
  TXT_LABEL_WHEN_DONE,
  TXT_WHEN_DONE_NOTHING,  // the choices of the "when done" list, in its order
  TXT_WHEN_DONE_CLOSE,
  TXT_WHEN_DONE_SLEEP,
  TXT_WHEN_DONE_SHUT_DOWN,
  TXT_COUNTDOWN_SLEEP,      // "%d": seconds left
  TXT_COUNTDOWN_SHUT_DOWN,  // "%d": seconds left
  TXT_COUNTDOWN_CANCEL,
  TXT_SLEEP_FAILED,
  TXT_SHUT_DOWN_FAILED,
  TXT_OUTPUT_FOLDER_PICK,           // the folder picker's title
  TXT_OUTPUT_FOLDER_MISSING,        // "%s": the folder
  TXT_OUTPUT_FOLDER_NOT_WRITABLE,   // "%s": the folder
  TXT_OUTPUT_FOLDER_NOT_FULL_PATH,  // "%s": the folder as typed
  // The tool installer: archives the release does not accept, oversized and misnamed members.
  TXT_INSTALL_REFUSE_MEMBER_TOO_LARGE,   // "%s": the member
  TXT_INSTALL_REFUSE_ARCHIVE_TOO_LARGE,  // "%s": the archive
  TXT_INSTALL_REFUSE_RESERVED_NAME,      // "%s": the member
  TXT_INSTALL_REFUSE_NOT_ACCEPTED,       // "%s": the archive
  // A range past the file's end, outputs that cannot be trusted, a join of parts that differ,
  // and the GPU's encode sessions.
  TXT_REFUSE_RANGE_AFTER_END,       // "%s" "%s" "%s": the file, the range's start, the file's end
  TXT_REFUSE_JOIN_NO_VIDEO,         // "%s": a part without video where the first part has some
  TXT_REFUSE_JOIN_VIDEO_ONLY_HERE,  // "%s": a part with video where the first part has none
  TXT_REFUSE_JOIN_VIDEO_CODEC,      // "%s" "%s" "%s": the part, its video codec, the first part's
  TXT_REFUSE_JOIN_SIZE,             // "%s" "%s" "%s": the part, its picture size, the first part's
  TXT_REFUSE_JOIN_FRAME_RATE,       // "%s" "%s" "%s": the part, its frame rate, the first part's
  TXT_REFUSE_JOIN_AUDIO_TRACKS,     // "%s" "%s" "%s": the part, its audio tracks, the first part's
  TXT_REFUSE_JOIN_AUDIO_CODEC,      // "%s" "%s" "%s" "%s": the part, the track, its codec, the first part's
  TXT_REFUSE_JOIN_CHANNELS,         // "%s" "%s" "%s" "%s": the part, the track, its channels, the first's
  TXT_REFUSE_JOIN_SAMPLE_RATE,      // "%s" "%s" "%s" "%s": the part, the track, its rate in Hz, the first's
  TXT_JOIN_ANYWAY_QUESTION,         // "%s": the first difference (a TXT_REFUSE_JOIN_ text)
  TXT_REASON_UNREADABLE,            // why an output that is kept failed: MediaInfo cannot read it
  TXT_REASON_NO_STREAM,             // ... it holds no stream
  TXT_REASON_NO_LENGTH,             // ... it lasts 0 ms
  TXT_CLI_SKIPPED_REFUSED,          // "[%d/%d] ... %s": position, count, why (RefusalText)
  TXT_CLI_OUTPUT_UNREADABLE,        // counter, output
  TXT_CLI_OUTPUT_NO_STREAM,         // counter, output
  TXT_CLI_OUTPUT_NO_LENGTH,         // counter, output
  TXT_CLI_JOIN_PARTS_DIFFER,        // "%s": the first difference
  TXT_CLI_OPTION_GPU_SESSIONS,      // "%d" "%s": the most, value
  TXT_CLI_GPU_SESSION_REFUSED,      // counter, file, the sessions allowed at once
  // Outputs a run left unfinished, and the claim of exec's output.
  TXT_CLI_EXEC_OUTPUT_UNCLAIMED,  // "%s": exec --output's file
  TXT_CLI_EXEC_OUTPUT_EMPTY,      // "%s": exec --output's file
  TXT_CLI_PARTIAL_RENAMED,        // "%s" "%s": the output a run left unfinished, its new name
  TXT_PARTIAL_RENAMED,            // "%s" "%s": the output a run left unfinished, its new name
  // A run's progress and its report: the status line's figures, how each file ended and why,
  // the window's end message that lists them, the command line's --report.
  TXT_RUN_TIME_LEFT,  // "%s": the time left for the run, as a clock
  TXT_OUTCOME_DONE,
  TXT_OUTCOME_FAILED,
  TXT_OUTCOME_SKIPPED,
  TXT_OUTCOME_SHORT,
  TXT_REASON_EXIT_STATUS,       // "%d %s": the exit status, ffmpeg's own words
  TXT_REASON_EXIT_STATUS_ONLY,  // "%d": the exit status
  TXT_REASON_INTERRUPTED,
  TXT_REASON_NO_OUTPUT,
  TXT_REASON_UNCLAIMED,
  TXT_REASON_SHORT,  // "%s %s": the output's length, the length expected (SecondsText)
  TXT_REASON_NOT_PROBED,
  TXT_REASON_STOPPED,
  TXT_REASON_NOT_REACHED,
  TXT_REASON_PARTS_MISSING,
  TXT_RUN_END_INTRO,
  TXT_RUN_END_ENTRY,  // "%s %s %s %s": counter, file, outcome, reason
  TXT_RUN_END_MORE,   // "%d": entries not listed
  TXT_RUN_END_OPEN_REPORT,
  TXT_RUN_END_JOIN,  // the join's counter in the list
  TXT_CLI_REPORT_NEEDS_NAME,
  TXT_CLI_REPORT_EXISTS,       // "%s": --report's file
  TXT_CLI_REPORT_NO_FOLDER,    // "%s": --report's file
  TXT_CLI_REPORT_NOT_WRITTEN,  // "%s": --report's file
  // Whole folders added to the list, their tree kept below the output folder.
  TXT_CLI_FOLDER_UNREADABLE,  // "%s": a folder below a FILE argument that could not be read
  TXT_CLI_FOLDER_NO_MEDIA,    // "%s": a folder argument
  TXT_LABEL_FOLDER_ADD,
  TXT_FOLDER_ADD_PICK,     // the folder picker's title
  TXT_FOLDERS_UNREADABLE,  // "%s": the folders, one a line
  TXT_FOLDER_NO_MEDIA,     // "%s": the folder
  // Presets: the built-ins' names, the window's preset row and what it says, the command line's.
  TXT_PRESET_PHONE,
  TXT_PRESET_COPY_VIDEO_AAC,
  TXT_LABEL_PRESET_SAVE,
  TXT_LABEL_PRESET_DELETE,
  TXT_PRESET_NEEDS_NAME,
  TXT_PRESET_BAD_NAME,        // "%d": the most characters
  TXT_PRESET_IS_BUILT_IN,     // "%s": the preset
  TXT_PRESET_REPLACE,         // "%s": the preset
  TXT_PRESET_DELETE_ASK,      // "%s": the preset
  TXT_PRESET_UNKNOWN,         // "%s": the preset
  TXT_PRESET_DAMAGED,         // "%s": the preset
  TXT_PRESET_DAMAGED_VALUES,  // "%s": the preset, "%s": the values passed over
  TXT_PRESET_STORE_FAILED,    // "%s": the preset
  TXT_CLI_PRESETS_NO_ARGUMENTS,
  TXT_CLI_PRESET_BUILT_IN_ROW,  // "%s": the preset
  TXT_CLI_PRESET_SAVED_ROW,     // "%s": the preset
  // A run that picks up where an earlier one stopped: files an earlier run made whole are left out.
  TXT_OUTCOME_RESUMED,
  TXT_RUN_REPORT_RESUMED,  // "%d": files left out as done before, after the report when there are any
  TXT_RESUME_QUESTION,     // "%d %d": files not done, files done before
  TXT_CLI_RESUMED_COUNT,   // "%d": in the summary when there are any
  TXT_CLI_DONE_BEFORE,     // "%d %d %s %s": position, count, the file, the output relied on
  TXT_CLI_RESUME_NOTHING,  // no earlier run of these settings made any of the files whole
  // Extracts of a stream the file does not hold.
  TXT_REFUSE_NO_VIDEO_TO_EXTRACT,  // "%s": the file
  TXT_REFUSE_NO_AUDIO_TO_EXTRACT,  // "%s": the file

  TXT_COUNT
};

// One text of a language's table.
struct CTextEntry {
  TextId id;
  const wchar_t* text;
};

// A language's table: its entries in any order, each id at most once.
struct CTextTable {
  int32_t uiLanguage;
  const CTextEntry* entries;
  size_t count;
};

// The tables, one per language (texts_korean.cpp, texts_english.cpp).
const CTextTable& KoreanTexts();
const CTextTable& EnglishTexts();

// The wording of id in the language (18 Korean, anything else English); the English text where
// the language's table has none, and an empty text for an id no table holds.
const wchar_t* Text(TextId id, int32_t uiLanguage);

// The wording of id filled with args; the command line passes kUiLanguageEnglish.
template <typename... Args>
std::wstring FormatText(TextId id, int32_t uiLanguage, const Args&... args) {
  return Sprintf(Text(id, uiLanguage), args...);
}

// A reason why nothing was made or started, and the file it names (empty when none). The front
// end that shows it words it in its own language.
struct CRefusal {
  CRefusal() = default;
  CRefusal(TextId refusalText, std::wstring refusalFile, std::vector<std::wstring> refusalDetails = {})
      : text(refusalText), file(std::move(refusalFile)), details(std::move(refusalDetails)) {}

  TextId text = TXT_NONE;
  std::wstring file;
  // What else the text names after the file, in its order (times, sizes, codecs: figures that
  // read the same in every language); at most three.
  std::vector<std::wstring> details;

  bool Refused() const { return text != TXT_NONE; }
};

// The refusal worded in the language.
std::wstring RefusalText(const CRefusal& refusal, int32_t uiLanguage);
