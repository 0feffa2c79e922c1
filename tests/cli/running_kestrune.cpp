#include "running_kestrune.h"

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_util.h"
#include "base/program_dir.h"
#include "base/text.h"

extern char** environ;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int ProcessesNaming(const std::string& folder) {
  int count = 0;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return 0;
  while (dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    std::string cmdline = ReadText(std::string("/proc/") + entry->d_name + "/cmdline");
    if (cmdline.find(folder) != std::string::npos && cmdline.find("ffmpeg") != std::string::npos) ++count;
  }
  closedir(proc);
  return count;
}

bool WaitForFiles(const std::vector<std::wstring>& paths) {
  auto until = Clock::now() + kPatience;
  while (Clock::now() < until) {
    bool all = true;
    for (const std::wstring& path : paths) {
      std::error_code unknown;
      all = all && std::filesystem::file_size(FsPath(path), unknown) > 0 && !unknown;
    }
    if (all) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

CTerminal::CTerminal() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
  const char* name = ptsname(master_);
  if (name == nullptr) return;
  name_ = name;
  slave_ = open(name_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  reader_ = std::thread([this] { Drain(); });
}

CTerminal::~CTerminal() {
  done_ = true;
  if (reader_.joinable()) reader_.join();
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

bool CTerminal::Settings(termios& settings) const { return slave_ >= 0 && tcgetattr(slave_, &settings) == 0; }

void CTerminal::Type(const std::string& keys) {
  ssize_t written = write(master_, keys.data(), keys.size());
  (void)written;
}

std::string CTerminal::Shown() {
  std::lock_guard<std::mutex> guard(lock_);
  return shown_;
}

void CTerminal::Drain() {
  char buffer[4096];
  while (!done_) {
    pollfd ready{master_, POLLIN, 0};
    if (poll(&ready, 1, 50) <= 0 || (ready.revents & POLLIN) == 0) continue;
    ssize_t got = read(master_, buffer, sizeof buffer);
    if (got <= 0) continue;
    std::lock_guard<std::mutex> guard(lock_);
    shown_.append(buffer, static_cast<size_t>(got));
  }
}

CRunningKestrune::CRunningKestrune(const std::vector<std::string>& args, const std::string& folder,
                                   CTerminal* terminal)
    : out_(folder + "out.txt"), err_(folder + "err.txt"), terminal_(terminal) {
  std::string program = WideToUtf8(GetProgramDir()) + "kestrune";
  std::vector<std::string> words = args;
  std::vector<char*> argv{&program[0]};
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (terminal != nullptr) {
    // A session leader that opens a terminal makes it its controlling terminal, and its group
    // that terminal's foreground, as a shell does for the command it runs.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_addopen(&actions, 0, terminal->Name().c_str(), O_RDWR, 0);
    posix_spawn_file_actions_adddup2(&actions, 0, 1);
    posix_spawn_file_actions_adddup2(&actions, 0, 2);
  } else {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  if (posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
}

CRunningKestrune::~CRunningKestrune() {
  if (pid_ > 0 && !reaped_) {
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

int CRunningKestrune::Wait() {
  auto until = Clock::now() + kPatience;
  int status = 0;
  while (Clock::now() < until) {
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      reaped_ = true;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

std::string CRunningKestrune::Out() const {
  return terminal_ != nullptr ? terminal_->Shown() : ReadText(out_);
}

std::string CRunningKestrune::Err() const {
  return terminal_ != nullptr ? terminal_->Shown() : ReadText(err_);
}
#endif
