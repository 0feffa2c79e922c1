#include "cli/cli_plan_host.h"

#include "base/format.h"
#include "cli/media_json.h"
#include "exec/command_line_split.h"

namespace {
std::wstring StringArray(const std::vector<std::wstring>& items) {
  std::wstring out = L"[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? L"," : L"") + JsonString(items[i]);
  return out + L"]";
}

// Every command of the line with its words, as the interpreter will run them.
std::wstring ProgramsJson(const std::wstring& text) {
  std::wstring out = L"[";
  bool first = true;
  for (const CommandWords& command : SplitCommandSequence(text)) {
    std::vector<std::wstring> arguments(command.words.begin() + 1, command.words.end());
    out += (first ? L"" : L",") + std::wstring(L"{\"program\":") + JsonString(command.words[0]) +
           L",\"arguments\":" + StringArray(arguments) +
           (command.onlyAfterSuccess ? L",\"onlyAfterSuccess\":true" : L"") + L"}";
    first = false;
  }
  return out + L"]";
}
}  // namespace

std::wstring FormatPlanJson(const CBatchCommand& command, const std::wstring& jobName,
                            const std::vector<std::wstring>& inputs, const std::vector<int>& waitsFor) {
  const bool join = command.position == 0 && !waitsFor.empty();
  std::wstring out = L"{\"step\":" + JsonString(join ? L"join" : L"file") + L",\"job\":" +
                     JsonString(jobName) +
                     Sprintf(L",\"position\":%d,\"fileCount\":%d", command.position, command.fileCount) +
                     L",\"input\":" + JsonString(command.input) + L",\"inputs\":" + StringArray(inputs) +
                     L",\"output\":" + JsonString(command.output);
  if (join) {
    out += L",\"waitsFor\":[";
    for (size_t i = 0; i < waitsFor.size(); ++i) out += Sprintf(L"%s%d", i ? L"," : L"", waitsFor[i]);
    out += L"]";
  }
  return out + L",\"command\":" + JsonString(command.text) + L",\"programs\":" + ProgramsJson(command.text) +
         L"}";
}

CCliPlanHost::CCliPlanHost(CCliOutput& out, const CCliRequest& request, CPreviewedCommand preview)
    : out_(out),
      json_(request.json),
      jobKind_(request.settings.jobKind),
      files_(request.settings.files),
      preview_(std::move(preview)) {}

void CCliPlanHost::ReportNoCommand(const std::wstring& path, int position) {
  out_.Err(CliFormat(TXT_CLI_SKIPPED_NOT_PROBED, position, static_cast<int>(files_.size()), path));
}

void CCliPlanHost::ReportRefusedFile(const std::wstring&, int position, const CRefusal& refusal) {
  out_.Err(CliFormat(TXT_CLI_SKIPPED_REFUSED, position, static_cast<int>(files_.size()),
                     RefusalText(refusal, kUiLanguageEnglish)));
}

int CCliPlanHost::RunCommand(const CBatchCommand& command, CCommandStop*) {
  if (!json_) {
    out_.Out(command.text + L"\n");
    return 0;
  }
  std::vector<std::wstring> inputs;
  std::vector<int> waitsFor;
  if (command.position > 0) {
    inputs.push_back(command.input);
    fileSteps_.push_back(command.position);
    fileOutputs_.push_back(command.output);
  } else if (jobKind_ == JOB_MERGE_FILES) {
    inputs = fileOutputs_;
    waitsFor = fileSteps_;
  } else {
    // The merge of video and audio reads the first two files of the list.
    inputs.assign(files_.begin(), files_.begin() + (files_.size() < 2 ? files_.size() : 2));
  }
  out_.Out(FormatPlanJson(command, JobName(jobKind_), inputs, waitsFor) + L"\n");
  return 0;
}

void CCliPlanHost::ReportEnd(const CBatchReport& report) {
  report_ = report;
  ended_ = true;
}
