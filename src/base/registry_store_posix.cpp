#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/registry_store.h"
#include "base/text.h"

// Without a registry each key is one small text file in the user's configuration folder:
//   # Kestrune settings
//   win_x=120
//   download_base="https%3A%2F%2Fmirror.example%2Ftools%2F"
// A number is written as it is; a text between quotes, with every byte but letters, digits, "_"
// and "-" written as %XX.
// Value names and key paths match without regard to ASCII case, as in the registry. A file is
// only ever replaced whole (a temporary file renamed over it), so a crash leaves the old or the
// new content; a damaged line reads as a missing value.

struct CRegistryStore::OpenKey {
  std::string file;  // the key's file, which Create made sure exists
};

namespace {

constexpr const char* kFileHeader = "# Kestrune settings\n";
constexpr off_t kMaxFileBytes = 1 << 20;  // anything larger is not ours: read as empty

// Each value as it stands after the "=": a number, or a text between quotes.
using Entries = std::vector<std::pair<std::string, std::string>>;

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool IsPlainChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// Keeps letters, digits, "_" and "-"; every other byte becomes %XX, so the result is one safe
// file-name component ("." and ".." included) and holds no "=" or line break.
std::string Encode(const std::string& text) { return PercentEscape(text, IsPlainChar); }

bool Decode(const std::string& text, std::string& out) { return PercentUnescape(text, out); }

std::string SettingsFolder() {
  // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and is ignored.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/kestrune";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    struct passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home == nullptr || home[0] != '/') return std::string();
  return std::string(home) + "/.config/kestrune";
}

// The file of root\path; empty for a root outside the family or an unknown home.
std::string KeyFile(RegistryRoot root, const std::wstring& path) {
  const char* prefix = root == REGISTRY_LOCAL_MACHINE  ? "machine"
                       : root == REGISTRY_CURRENT_USER ? "user"
                                                       : nullptr;
  std::string folder = SettingsFolder();
  if (prefix == nullptr || folder.empty()) return std::string();
  std::string name = prefix;
  std::string component;
  std::string key = LowerAscii(WideToUtf8(path)) + "\\";
  for (char c : key) {
    if (c != '\\') {
      component += c;
    } else if (!component.empty()) {
      name += "." + Encode(component);
      component.clear();
    }
  }
  return folder + "/" + name + ".conf";
}

bool MakeFolders(const std::string& file, int& error) {
  for (size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1)) {
    std::string folder = file.substr(0, slash);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
      error = errno;
      return false;
    }
  }
  return true;
}

// Reads the valid lines of the file; false when it cannot be opened.
bool ReadEntries(const std::string& file, Entries& entries) {
  entries.clear();
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  std::string content;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxFileBytes) {
    char buffer[4096];
    ssize_t got;
    while (content.size() <= static_cast<size_t>(kMaxFileBytes) &&
           (got = read(fd, buffer, sizeof buffer)) != 0) {
      if (got < 0) {
        if (errno == EINTR) continue;
        content.clear();
        break;
      }
      content.append(buffer, static_cast<size_t>(got));
    }
    if (content.size() > static_cast<size_t>(kMaxFileBytes)) content.clear();
  }
  close(fd);
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    start = end + 1;
    size_t equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == std::string::npos) continue;
    std::string name;
    std::string raw = line.substr(equals + 1);
    uint32_t number = 0;
    std::string text;
    bool quoted = raw.size() >= 2 && raw.front() == '"' && raw.back() == '"' &&
                  Decode(raw.substr(1, raw.size() - 2), text);
    if (!Decode(line.substr(0, equals), name) || (!quoted && !ParseUint32(raw, number))) continue;
    entries.emplace_back(name, raw);
  }
  return true;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

// Replaces the file whole: a temporary file beside it, flushed to disk, renamed over it.
int ReplaceFile(const std::string& file, const Entries& entries) {
  std::string text = kFileHeader;
  for (const auto& entry : entries) text += Encode(entry.first) + "=" + entry.second + "\n";
  std::string temp = file + ".XXXXXX";
  int fd = mkostemp(&temp[0], O_CLOEXEC);
  if (fd < 0) return errno;
  int error = 0;
  if (!WriteAll(fd, text) || fsync(fd) != 0) error = errno != 0 ? errno : EIO;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temp.c_str(), file.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(temp.c_str());
    return error;
  }
  std::string folder = file.substr(0, file.rfind('/'));
  int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    close(folderFd);
  }
  return 0;
}

// Makes sure the key's file exists; 0 or an errno value.
int CreateKeyFile(const std::string& file) {
  if (file.empty()) return EINVAL;
  int error = 0;
  if (!MakeFolders(file, error)) return error;
  struct stat info;
  if (stat(file.c_str(), &info) == 0) return S_ISREG(info.st_mode) ? 0 : EISDIR;
  if (errno != ENOENT) return errno;
  return ReplaceFile(file, Entries());
}

}  // namespace

CRegistryStore::CRegistryStore() = default;

CRegistryStore::~CRegistryStore() { delete openKey; }

const long CRegistryStore::kAccessDenied = EACCES;

long CRegistryStore::OpenForWriting(RegistryRoot root, const std::wstring& path) {
  std::string file = KeyFile(root, path);
  int error = CreateKeyFile(file);
  if (error != 0) return error;
  if (openKey == nullptr) openKey = new OpenKey;
  openKey->file = file;
  return 0;
}

namespace {

// The stored form of name under root\path; false when the key or the value is missing.
bool ReadRaw(RegistryRoot root, const std::wstring& path, const std::wstring& name, std::string& raw) {
  std::string file = KeyFile(root, path);
  Entries entries;
  if (file.empty() || !ReadEntries(file, entries)) return false;
  std::string wanted = LowerAscii(WideToUtf8(name));
  for (const auto& entry : entries) {
    if (LowerAscii(entry.first) == wanted) {
      raw = entry.second;
      return true;
    }
  }
  return false;
}

// Stores raw as the value of name under root\path, creating the key: 0, or -1.
int32_t WriteRaw(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                 const std::string& value) {
  std::string file = KeyFile(root, path);
  if (CreateKeyFile(file) != 0) return -1;
  Entries entries;
  ReadEntries(file, entries);
  std::string utf8Name = WideToUtf8(name);
  std::string wanted = LowerAscii(utf8Name);
  bool replaced = false;
  Entries kept;
  for (auto& entry : entries) {
    if (LowerAscii(entry.first) != wanted) {
      kept.push_back(std::move(entry));
    } else if (!replaced) {
      kept.emplace_back(entry.first, value);
      replaced = true;
    }
  }
  if (!replaced) kept.emplace_back(utf8Name, value);
  return ReplaceFile(file, kept) == 0 ? 0 : -1;
}

}  // namespace

bool CRegistryStore::ReadValue(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                               uint32_t& value) {
  std::string raw;
  return ReadRaw(root, path, name, raw) && ParseUint32(raw, value);
}

int32_t CRegistryStore::WriteInt(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                                 uint32_t value) {
  return WriteRaw(root, path, name, std::to_string(value));
}

bool CRegistryStore::ReadText(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                              std::wstring& out) {
  std::string raw, text;
  if (!ReadRaw(root, path, name, raw) || raw.size() < 2 || raw.front() != '"' ||
      !Decode(raw.substr(1, raw.size() - 2), text)) {
    return false;
  }
  out = Utf8ToWide(text);
  return true;
}

int32_t CRegistryStore::WriteText(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                                  const std::wstring& value) {
  return WriteRaw(root, path, name, "\"" + Encode(WideToUtf8(value)) + "\"");
}

std::vector<std::wstring> CRegistryStore::ReadNames(RegistryRoot root, const std::wstring& path) {
  std::vector<std::wstring> names;
  std::string file = KeyFile(root, path);
  Entries entries;
  if (file.empty() || !ReadEntries(file, entries)) return names;
  for (const auto& entry : entries) names.push_back(Utf8ToWide(entry.first));
  return names;
}

int32_t CRegistryStore::RemoveValue(RegistryRoot root, const std::wstring& path, const std::wstring& name) {
  std::string file = KeyFile(root, path);
  Entries entries;
  if (file.empty()) return -1;
  if (!ReadEntries(file, entries)) return 0;  // no key, no value
  std::string wanted = LowerAscii(WideToUtf8(name));
  Entries kept;
  for (auto& entry : entries) {
    if (LowerAscii(entry.first) != wanted) kept.push_back(std::move(entry));
  }
  if (kept.size() == entries.size()) return 0;
  return ReplaceFile(file, kept) == 0 ? 0 : -1;
}

bool CRegistryStore::ReadMachineText(const std::wstring&, const std::wstring&, std::wstring&) {
  return false;
}
