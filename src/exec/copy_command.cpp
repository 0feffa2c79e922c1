#include "exec/copy_command.h"

#include <filesystem>
#include <fstream>

#include "base/file_util.h"
#include "base/text.h"

namespace fs = std::filesystem;

namespace {

bool IsSwitch(const std::wstring& word) {
  static const wchar_t* const switches[] = {L"/a", L"/b", L"/d", L"/l", L"/n", L"/v", L"/y", L"/-y", L"/z"};
  std::wstring lower = ToLowerText(word);
  for (const wchar_t* known : switches)
    if (lower == known) return true;
  return false;
}

bool ParseOperands(const std::vector<std::wstring>& words, std::vector<std::wstring>& sources,
                   std::wstring& destination, std::wstring& error) {
  std::vector<std::wstring> operands;
  for (const std::wstring& word : words)
    if (!IsSwitch(word)) operands.push_back(word);
  size_t i = 0;
  if (operands.empty() || operands[0] == L"+") {
    error = L"The syntax of the command is incorrect.";
    return false;
  }
  sources.push_back(operands[i++]);
  while (i < operands.size() && operands[i] == L"+") {
    if (i + 1 >= operands.size() || operands[i + 1] == L"+") {
      error = L"The syntax of the command is incorrect.";
      return false;
    }
    sources.push_back(operands[i + 1]);
    i += 2;
  }
  if (i + 1 != operands.size()) {
    // No destination (the Windows copy would append to the first source) or words left over.
    error = L"copy needs one destination after its sources.";
    return false;
  }
  destination = operands[i];
  return true;
}

}  // namespace

bool RunCopyCommand(const std::vector<std::wstring>& words, std::wstring& error) {
  std::vector<std::wstring> sources;
  std::wstring destination;
  if (!ParseOperands(words, sources, destination, error)) return false;

  fs::path target = FsPath(destination);
  std::error_code code;
  for (const std::wstring& source : sources) {
    if (!fs::is_regular_file(FsPath(source), code)) {
      error = L"The system cannot find the file " + source + L".";
      return false;
    }
    if (fs::exists(target, code) && fs::equivalent(FsPath(source), target, code)) {
      error = L"The file cannot be copied onto itself: " + source + L".";
      return false;
    }
  }

  // Written beside the destination under another name and renamed when complete, so a failed
  // copy leaves an earlier destination as it was.
  fs::path partial = target;
  partial += ".copying";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    bool ok = static_cast<bool>(out);
    for (size_t i = 0; ok && i < sources.size(); ++i) {
      std::ifstream in(FsPath(sources[i]), std::ios::binary);
      ok = static_cast<bool>(in);
      if (ok && in.peek() != std::ifstream::traits_type::eof()) ok = static_cast<bool>(out << in.rdbuf());
    }
    out.close();
    if (!ok || !out) {
      fs::remove(partial, code);
      error = L"The copy into " + destination + L" failed.";
      return false;
    }
  }
  fs::rename(partial, target, code);
  if (code) {
    fs::remove(partial, code);
    error = L"The copy into " + destination + L" failed.";
    return false;
  }
  return true;
}
