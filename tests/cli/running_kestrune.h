#pragma once
// The real kestrune started as a user starts it, for the tests of what happens from outside a
// run: a stop, a kill, the caller's terminal and input. POSIX only.
#ifndef _WIN32
#include <sys/types.h>
#include <termios.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(120);

std::string ReadText(const std::string& path);

// Processes whose command line names something in folder (ffmpeg at work on its clips).
int ProcessesNaming(const std::string& folder);

// Waits until ffmpeg has written into every path (the run claims each name as an empty file
// before the program that writes it starts); false when it has not in time.
bool WaitForFiles(const std::vector<std::wstring>& paths);

// A pseudo-terminal, as the user's terminal window is. What is written to it is read and kept,
// so a program writing there never blocks.
class CTerminal {
 public:
  CTerminal();
  ~CTerminal();
  CTerminal(const CTerminal&) = delete;
  CTerminal& operator=(const CTerminal&) = delete;

  bool IsOpen() const { return slave_ >= 0; }
  const std::string& Name() const { return name_; }
  // Its settings now, as a program on it would read them; false when they cannot be read.
  bool Settings(termios& settings) const;
  // Keys typed on it: the terminal's own processing applies (Ctrl-C interrupts its foreground).
  void Type(const std::string& keys);
  std::string Shown();

 private:
  void Drain();

  int master_ = -1;
  int slave_ = -1;  // kept open to read the settings
  std::string name_;
  std::mutex lock_;
  std::string shown_;
  std::atomic<bool> done_{false};
  std::thread reader_;
};

// The real program in a session of its own. Without a terminal it is a process group of its
// own, its standard input /dev/null and its standard output and error in files; on a terminal,
// that is its controlling terminal and all three streams.
class CRunningKestrune {
 public:
  CRunningKestrune(const std::vector<std::string>& args, const std::string& folder,
                   CTerminal* terminal = nullptr);
  ~CRunningKestrune();
  CRunningKestrune(const CRunningKestrune&) = delete;
  CRunningKestrune& operator=(const CRunningKestrune&) = delete;

  pid_t Pid() const { return pid_; }

  // The exit status; 1000 + N for a signal N that ended it (never mistaken for an exit with
  // 130), -1 when it does not end in time.
  int Wait();

  std::string Out() const;
  std::string Err() const;

 private:
  std::string out_, err_;
  CTerminal* terminal_;
  pid_t pid_ = -1;
  bool reaped_ = false;
};
#endif
