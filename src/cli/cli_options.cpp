#include "cli/cli_options.h"

#include <algorithm>
#include <climits>
#include <thread>

#include "base/file_util.h"
#include "base/folder_listing.h"
#include "base/format.h"
#include "base/private_folder.h"
#include "base/program_dir.h"
#include "base/registry_store.h"
#include "batch/preset_store.h"
#include "batch/start_check.h"
#include "cli/cli_output.h"
#include "jobs/media_classification.h"
#include "jobs/option_words.h"

namespace {

enum OptionScope {
  SCOPE_PROBE = 1,
  SCOPE_PLAN = 2,
  SCOPE_RUN = 4,
  SCOPE_BATCH = SCOPE_PLAN | SCOPE_RUN,
};

struct COption {
  const wchar_t* name;
  bool takesValue;
  int scope;
  // Applies the option; false with error set when its value is bad.
  bool (*apply)(CCliRequest& request, const std::wstring& value, std::wstring& error);
};

bool ParseNumber(const std::wstring& text, int32_t& number) {
  if (text.empty() || text.size() > 10) return false;
  int64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + (c - L'0');
  }
  if (value > INT32_MAX) return false;
  number = static_cast<int32_t>(value);
  return true;
}

bool ParseRate(const wchar_t* option, const std::wstring& value, int32_t& rate, std::wstring& error) {
  if (!ParseNumber(value, rate) || rate == 0) {
    error = CliFormat(TXT_CLI_OPTION_RATE, option, value);
    return false;
  }
  return true;
}

bool ParseTime(const std::wstring& text, RangeTime& time) {
  int32_t parts[3];
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    size_t end = i < 2 ? text.find(L':', start) : text.size();
    if (end == std::wstring::npos || !ParseNumber(text.substr(start, end - start), parts[i]) ||
        parts[i] > UINT16_MAX)
      return false;
    start = end + 1;
  }
  time.hours = static_cast<uint16_t>(parts[0]);
  time.minutes = static_cast<uint16_t>(parts[1]);
  time.seconds = static_cast<uint16_t>(parts[2]);
  return true;
}

bool ParseTracks(const std::wstring& text, std::vector<uint32_t>& tracks) {
  tracks.clear();
  size_t start = 0;
  while (true) {
    size_t end = text.find(L',', start);
    if (end == std::wstring::npos) end = text.size();
    int32_t track = 0;
    if (!ParseNumber(text.substr(start, end - start), track)) return false;
    tracks.push_back(static_cast<uint32_t>(track));
    if (end == text.size()) break;
    start = end + 1;
  }
  std::sort(tracks.begin(), tracks.end());
  tracks.erase(std::unique(tracks.begin(), tracks.end()), tracks.end());
  return true;
}

// More files at once than this only queue up behind each other on any machine.
constexpr int32_t kMaxJobs = 64;

bool PickNamed(const std::vector<COptionName>& table, const wchar_t* option, const std::wstring& value,
               int32_t& out, std::wstring& error) {
  std::wstring choices;
  for (const COptionName& entry : table) {
    if (value == entry.name) {
      out = entry.value;
      return true;
    }
    choices += choices.empty() ? L"" : L"|";
    choices += entry.name;
  }
  error = CliFormat(TXT_CLI_OPTION_CHOICES, option, choices, value);
  return false;
}

// --preset NAME: the preset's options over those given before it; those after it win, as every
// later option wins over an earlier one. The GPU follows the preset where it changes it: off, or
// on where the check finds it works, as the window's Start decides.
bool ApplyPreset(CCliRequest& request, const std::wstring& name, std::wstring& error) {
  CRegistryStore store;
  store.Create(REGISTRY_LOCAL_MACHINE, kRegistryKeyPath);
  JobSettings settings = request.settings;
  std::vector<std::wstring> damaged;
  switch (LoadPreset(store, name, settings, damaged)) {
    case PRESET_OK:
      break;
    case PRESET_DAMAGED:
      error = CliFormat(TXT_PRESET_DAMAGED, name);
      return false;
    default:
      error = CliFormat(TXT_PRESET_UNKNOWN, name);
      return false;
  }
  if (settings.useGpu != request.settings.useGpu) request.gpu = settings.useGpu ? CLI_GPU_AUTO : CLI_GPU_OFF;
  request.settings = settings;
  if (!damaged.empty()) {
    std::wstring values;
    for (const std::wstring& value : damaged) values += (values.empty() ? L"" : L", ") + value;
    request.notices.push_back(CliFormat(TXT_PRESET_DAMAGED_VALUES, name, values));
  }
  return true;
}

#define FLAG(field, state)                                 \
  [](CCliRequest& r, const std::wstring&, std::wstring&) { \
    r.settings.field = state;                              \
    return true;                                           \
  }

// The command line's options, one per JobSettings choice. Unset options keep the defaults that
// JobSettings shares with the dialog.
const COption kOptions[] = {
    {L"--json", false, SCOPE_PROBE | SCOPE_PLAN,
     [](CCliRequest& r, const std::wstring&, std::wstring&) { return r.json = true; }},
    {L"--pause", false, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring&, std::wstring&) { return r.pause = true; }},
    {L"--jobs", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       if (v == L"auto") {
         unsigned cores = std::thread::hardware_concurrency();
         r.jobs = cores > 0 ? static_cast<int>(cores) : 1;
         return true;
       }
       int32_t jobs = 0;
       if (ParseNumber(v, jobs) && jobs >= 1 && jobs <= kMaxJobs) {
         r.jobs = jobs;
         return true;
       }
       e = CliFormat(TXT_CLI_OPTION_JOBS, kMaxJobs, v);
       return false;
     }},
    {L"--verbose", false, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring&, std::wstring&) { return r.verbose = true; }},
    {L"--preset", true, SCOPE_BATCH, ApplyPreset},
    {L"--gpu-sessions", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       int32_t sessions = 0;
       if (ParseNumber(v, sessions) && sessions >= 1 && sessions <= kMostGpuSessions) {
         r.gpuSessions = sessions;
         return true;
       }
       e = CliFormat(TXT_CLI_OPTION_GPU_SESSIONS, kMostGpuSessions, v);
       return false;
     }},
    {L"--join-anyway", false, SCOPE_BATCH, FLAG(joinAnyway, true)},
    {L"--job", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       return PickNamed(JobKindNames(), L"--job", v, r.settings.jobKind, e);
     }},
    {L"--codec", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       return PickNamed(OutputCodecNames(), L"--codec", v, r.settings.outputCodec, e);
     }},
    {L"--gpu", false, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring&, std::wstring&) {
       r.gpu = CLI_GPU_ON;
       return r.settings.useGpu = true;
     }},
    {L"--no-gpu", false, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring&, std::wstring&) {
       r.gpu = CLI_GPU_OFF;
       r.settings.useGpu = false;
       return true;
     }},
    {L"--gpu-compat", false, SCOPE_BATCH, FLAG(gpuCompatMode, true)},
    {L"--bitrate", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       r.settings.useVideoBitRate = true;
       return ParseRate(L"--bitrate", v, r.settings.videoBitRate, e);
     }},
    {L"--no-bitrate", false, SCOPE_BATCH, FLAG(useVideoBitRate, false)},
    {L"--qp", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       r.settings.useQuantizer = true;
       if (ParseNumber(v, r.settings.quantizer)) return true;
       e = CliFormat(TXT_CLI_OPTION_QP, v);
       return false;
     }},
    {L"--copy-video", false, SCOPE_BATCH, FLAG(copyVideo, true)},
    {L"--mp4", false, SCOPE_BATCH, FLAG(containerMp4, true)},
    {L"--mkv", false, SCOPE_BATCH, FLAG(containerMkv, true)},
    {L"--scale1080", false, SCOPE_BATCH, FLAG(scale1080, true)},
    {L"--pix-compat", false, SCOPE_BATCH, FLAG(pixelFormatCompat, true)},
    {L"--tracks", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       r.settings.allAudioTracks = false;
       // The window with every track unticked: the first file's command maps no audio at all.
       if (v == L"none") {
         r.settings.selectedAudioTracks.clear();
         return true;
       }
       if (ParseTracks(v, r.settings.selectedAudioTracks)) return true;
       e = CliFormat(TXT_CLI_OPTION_TRACKS, v);
       return false;
     }},
    {L"--all-tracks", false, SCOPE_BATCH, FLAG(allAudioTracks, true)},
    {L"--copy-audio", false, SCOPE_BATCH, FLAG(copyAudio, true)},
    {L"--abitrate", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       return ParseRate(L"--abitrate", v, r.settings.audioBitRate, e);
     }},
    {L"--downmix", false, SCOPE_BATCH, FLAG(downmixStereo, true)},
    {L"--force-audio", false, SCOPE_BATCH, FLAG(forceAudioEncode, true)},
    {L"--aac", false, SCOPE_BATCH, FLAG(audioAac, true)},
    {L"--no-aac", false, SCOPE_BATCH, FLAG(audioAac, false)},
    {L"--mp3-audio", false, SCOPE_BATCH, FLAG(audioMp3, true)},
    {L"--range", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       size_t dash = v.find(L'-');
       if (dash == std::wstring::npos || !ParseTime(v.substr(0, dash), r.settings.rangeStart) ||
           !ParseTime(v.substr(dash + 1), r.settings.rangeEnd)) {
         e = CliFormat(TXT_CLI_OPTION_RANGE, v);
         return false;
       }
       r.settings.applyRange = true;
       return true;
     }},
    {L"--range-copy", false, SCOPE_BATCH, FLAG(rangeCopy, true)},
    {L"--no-range-copy", false, SCOPE_BATCH, FLAG(rangeCopy, false)},
    {L"--accurate", false, SCOPE_BATCH, FLAG(rangeAccurate, true)},
    {L"--report", true, SCOPE_RUN,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       r.reportFile = v;
       if (!v.empty()) return true;
       e = CliText(TXT_CLI_REPORT_NEEDS_NAME);
       return false;
     }},
    {L"--resume", false, SCOPE_RUN,
     [](CCliRequest& r, const std::wstring&, std::wstring&) { return r.resume = true; }},
    {L"--output-dir", true, SCOPE_BATCH,
     [](CCliRequest& r, const std::wstring& v, std::wstring& e) {
       r.settings.outputFolder = v;
       if (!v.empty()) return true;
       e = CliText(TXT_CLI_OUTPUT_DIR_NEEDS_NAME);
       return false;
     }},
    {L"--keep-dates", false, SCOPE_BATCH, FLAG(keepSourceDates, true)},
};

#undef FLAG

const COption* FindOption(const std::wstring& name) {
  for (const COption& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

const wchar_t* CommandName(CliCommand command) {
  return command == CLI_COMMAND_PROBE ? L"probe" : command == CLI_COMMAND_PLAN ? L"plan" : L"run";
}

int ScopeOf(CliCommand command) {
  return command == CLI_COMMAND_PROBE ? SCOPE_PROBE : command == CLI_COMMAND_PLAN ? SCOPE_PLAN : SCOPE_RUN;
}

// exec [--output FILE] [--] COMMAND: exactly one command text, taken as it is.
bool ParseExecArguments(const std::vector<std::wstring>& args, CCliRequest& request, std::wstring& error) {
  size_t i = 1;
  for (; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (arg == L"--") {
      ++i;
      break;
    }
    if (arg == L"--output" || arg.rfind(L"--output=", 0) == 0) {
      if (arg == L"--output" && i + 1 >= args.size()) {
        error = CliText(TXT_CLI_OUTPUT_NEEDS_VALUE);
        return false;
      }
      request.execOutput = arg == L"--output" ? args[++i] : arg.substr(9);
      if (request.execOutput.empty()) {
        error = CliText(TXT_CLI_OUTPUT_NEEDS_NAME);
        return false;
      }
      continue;
    }
    if (arg.size() >= 2 && arg[0] == L'-') {
      error = CliFormat(TXT_CLI_OPTION_NOT_FOR_EXEC, arg);
      return false;
    }
    break;
  }
  if (i + 1 != args.size() || args[i].find_first_not_of(L" \t") == std::wstring::npos) {
    error = CliText(TXT_CLI_EXEC_ONE_COMMAND);
    return false;
  }
  request.commandText = args[i];
  return true;
}

bool WasGiven(const std::vector<std::wstring>& args, const wchar_t* name) {
  for (const std::wstring& arg : args) {
    if (arg == L"--") break;
    if (arg == name || arg.rfind(std::wstring(name) + L"=", 0) == 0) return true;
  }
  return false;
}

// Options that only mean something together with another one; the dialog would ignore them
// silently, a command line says so.
bool CheckCombinations(const std::vector<std::wstring>& args, CCliRequest& request, std::wstring& error) {
  JobSettings& s = request.settings;
  if (s.gpuCompatMode && !s.useGpu) {
    if (WasGiven(args, L"--gpu-compat")) {
      error = CliText(TXT_CLI_GPU_COMPAT_WITHOUT_GPU);
      return false;
    }
    // A preset's compatible mode without the GPU: the window ignores it as well.
    s.gpuCompatMode = false;
  }
  const wchar_t* rangeOptions[] = {L"--range-copy", L"--no-range-copy", L"--accurate"};
  for (const wchar_t* name : rangeOptions) {
    if (!s.applyRange && WasGiven(args, name)) {
      error = CliFormat(TXT_CLI_OPTION_NEEDS_RANGE, name);
      return false;
    }
  }
  // A pause waits for Enter after the last command; with several at once there is no last one.
  if (request.pause && request.jobs > 1) {
    error = CliText(TXT_CLI_PAUSE_WITH_JOBS);
    return false;
  }
  // The dialog's "copy" box of the range starts checked.
  if (s.applyRange && !WasGiven(args, L"--no-range-copy") && !WasGiven(args, L"--range-copy"))
    s.rangeCopy = true;
  return true;
}

}  // namespace

namespace {

// "--help", "-h" or "--version" anywhere before "--" answers at once, whatever else is there.
bool AsksForHelpOrVersion(const std::vector<std::wstring>& args, CCliRequest& request) {
  for (const std::wstring& arg : args) {
    if (arg == L"--") break;
    if (arg == L"--help" || arg == L"-h") request.command = CLI_COMMAND_HELP;
    if (arg == L"--version") request.command = CLI_COMMAND_VERSION;
    if (request.command != CLI_COMMAND_NONE) return true;
  }
  return false;
}

struct CCommandName {
  const wchar_t* name;
  CliCommand command;
};
const CCommandName kCommands[] = {
    {L"probe", CLI_COMMAND_PROBE}, {L"plan", CLI_COMMAND_PLAN}, {L"run", CLI_COMMAND_RUN},
    {L"exec", CLI_COMMAND_EXEC},   {L"help", CLI_COMMAND_HELP}, {L"presets", CLI_COMMAND_PRESETS},
};

bool ReadCommandName(const std::vector<std::wstring>& args, CCliRequest& request, std::wstring& error) {
  if (args.empty()) {
    error = CliText(TXT_CLI_MISSING_COMMAND);
    return false;
  }
  for (const CCommandName& command : kCommands) {
    if (args[0] != command.name) continue;
    request.command = command.command;
    return true;
  }
  error = CliFormat(TXT_CLI_UNKNOWN_COMMAND, args[0]);
  return false;
}

// "--gpu auto" (or "--gpu=auto"): the check decides, as without any GPU option. True when
// args[i] is one, i then past it.
bool TakeGpuAuto(const std::vector<std::wstring>& args, size_t& i, CCliRequest& request) {
  const std::wstring& arg = args[i];
  if (arg != L"--gpu=auto" && (arg != L"--gpu" || i + 1 >= args.size() || args[i + 1] != L"auto"))
    return false;
  if (arg == L"--gpu") ++i;
  request.gpu = CLI_GPU_AUTO;
  request.settings.useGpu = true;
  return true;
}

// Applies the option at args[i] ("--name", "--name=value" or "--name value"), i then at its last
// word; false with error naming it when it is unknown, not for this command or badly given.
bool TakeOption(const std::vector<std::wstring>& args, size_t& i, CCliRequest& request, std::wstring& error) {
  const std::wstring& arg = args[i];
  std::wstring name = arg, value;
  const size_t equals = arg.find(L'=');
  const bool inlineValue = arg.rfind(L"--", 0) == 0 && equals != std::wstring::npos;
  if (inlineValue) {
    name = arg.substr(0, equals);
    value = arg.substr(equals + 1);
  }
  const COption* option = FindOption(name);
  if (option == nullptr) {
    error = CliFormat(TXT_CLI_UNKNOWN_OPTION, name);
    return false;
  }
  if (!(option->scope & ScopeOf(request.command))) {
    error = CliFormat(TXT_CLI_OPTION_NOT_FOR, name, CommandName(request.command));
    return false;
  }
  if (option->takesValue && !inlineValue) {
    if (i + 1 >= args.size()) {
      error = CliFormat(TXT_CLI_OPTION_NEEDS_VALUE, name);
      return false;
    }
    value = args[++i];
  } else if (!option->takesValue && inlineValue) {
    error = CliFormat(TXT_CLI_OPTION_TAKES_NO_VALUE, name);
    return false;
  }
  return option->apply(request, value, error);
}

// The options and files of probe, plan and run.
bool ReadOptionsAndFiles(const std::vector<std::wstring>& args, CCliRequest& request, std::wstring& error) {
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != L'-') {
      if (arg.empty()) {
        error = CliText(TXT_CLI_EMPTY_FILE);
        return false;
      }
      request.settings.files.push_back(arg);
    } else if (arg == L"--") {
      optionsEnded = true;
    } else if (!((ScopeOf(request.command) & SCOPE_BATCH) && TakeGpuAuto(args, i, request)) &&
               !TakeOption(args, i, request, error)) {
      return false;
    }
  }
  if (request.settings.files.empty()) {
    error = CliFormat(TXT_CLI_NEEDS_FILE, CommandName(request.command));
    return false;
  }
  return true;
}

}  // namespace

bool ParseCliArguments(const std::vector<std::wstring>& args, CCliRequest& request, std::wstring& error) {
  request = CCliRequest();
  if (AsksForHelpOrVersion(args, request)) return true;
  if (!ReadCommandName(args, request, error)) return false;
  if (request.command == CLI_COMMAND_HELP) return true;
  if (request.command == CLI_COMMAND_EXEC) return ParseExecArguments(args, request, error);
  if (request.command == CLI_COMMAND_PRESETS) {
    if (args.size() == 1) return true;
    error = CliText(TXT_CLI_PRESETS_NO_ARGUMENTS);
    return false;
  }
  if (!ReadOptionsAndFiles(args, request, error) || !CheckCombinations(args, request, error)) return false;
  request.settings.currentFile = request.settings.files[0];
  return true;
}

namespace {
bool IsAbsolutePath(const std::wstring& path) {
#ifdef _WIN32
  return (path.size() >= 2 && path[1] == L':') || (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
#else
  return !path.empty() && path[0] == L'/';
#endif
}

// Relative to the current folder, made absolute: a run works in the program folder.
void MakeAbsolute(std::wstring& path) {
  if (IsAbsolutePath(path)) return;
  std::wstring here = GetCurrentDir();
  if (!here.empty() && here.back() != kPathSeparator) here += kPathSeparator;
  while (path.size() > 2 && path[0] == L'.' && path[1] == kPathSeparator) path.erase(0, 2);
  path = path == L"." || path == std::wstring(L".") + kPathSeparator ? here : here + path;
}
}  // namespace

bool ExpandCliFolders(JobSettings& settings, std::vector<std::wstring>& unreadable, std::wstring& error) {
  std::vector<std::wstring> files;
  for (std::wstring& arg : settings.files) {
    if (!IsDirectory(arg)) {
      files.push_back(std::move(arg));
      continue;
    }
    MakeAbsolute(arg);
    CFolderListing listing = ListFolderFiles(arg, IsMediaFileName);
    unreadable.insert(unreadable.end(), listing.unreadable.begin(), listing.unreadable.end());
    if (listing.files.empty()) {
      error = CliFormat(TXT_CLI_FOLDER_NO_MEDIA, arg);
      return false;
    }
    settings.folderRoots.push_back(arg);
    files.insert(files.end(), listing.files.begin(), listing.files.end());
  }
  settings.files.swap(files);
  return true;
}

bool CheckCliFiles(std::vector<std::wstring>& files, std::wstring& error) {
  for (std::wstring& file : files) {
    if (!FileExists(file) || IsDirectory(file)) {
      error = CliFormat(TXT_CLI_NO_SUCH_FILE, file);
      return false;
    }
    MakeAbsolute(file);
  }
  return true;
}

bool CheckCliOutputFolder(std::wstring& folder, std::wstring& error) {
  switch (CheckOutputFolder(folder)) {
    case OUTPUT_FOLDER_MISSING:
      error = CliFormat(TXT_CLI_NO_SUCH_FOLDER, folder);
      return false;
    case OUTPUT_FOLDER_NOT_WRITABLE:
      error = CliFormat(TXT_CLI_FOLDER_NOT_WRITABLE, folder);
      return false;
    default:
      break;
  }
  if (!folder.empty()) MakeAbsolute(folder);
  return true;
}

bool CheckCliReportFile(std::wstring& path, std::wstring& error) {
  if (path.empty()) return true;
  if (FileExists(path)) {
    error = CliFormat(TXT_CLI_REPORT_EXISTS, path);
    return false;
  }
  MakeAbsolute(path);
#ifdef _WIN32
  const size_t slash = path.find_last_of(L"/\\");
#else
  const size_t slash = path.find_last_of(kPathSeparator);
#endif
  const std::wstring folder = path.substr(0, slash + 1);
  if (!IsDirectory(folder) || !CanCreateFileIn(folder)) {
    error = CliFormat(TXT_CLI_REPORT_NO_FOLDER, path);
    return false;
  }
  return true;
}
