#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "exec/process_start.h"
#include "exec/tied_child.h"

extern char** environ;

namespace {

constexpr int kNotStarted = 127;

// close_range's flag that marks the descriptors instead of closing them (Linux 5.11).
constexpr unsigned kCloseRangeCloexec = 1u << 2;

// What the child does between fork and exec. This process may have other threads, so only
// calls that are safe after a fork happen here: system calls on prepared data, no allocation.
struct ChildPlan {
  char* const* argv = nullptr;
  const char* outputFile = nullptr;
  const char* errorFile = nullptr;
  int errorDescriptor = -1;
  pid_t parent = 0;
  int report = -1;      // the write end of the pipe that carries an errno back when exec fails
  sigset_t mask;        // the starting thread's own signal mask, given back before exec
  int descriptors = 0;  // above the highest descriptor this process may have open
};

// The program inherits descriptors 0 to 2 only. Others are opened close-on-exec by this
// program's own code, but not by everything it links (a library, the C++ streams), and a thread
// may just be opening one for a program of its own: every one above 2 is marked here, after the
// fork, so that none reaches the program (a MediaInfo's report file held open by another
// program would keep its folder from being removed).
void KeepOnlyStandardDescriptors(const ChildPlan& plan) {
#ifdef SYS_close_range
  if (syscall(SYS_close_range, 3u, ~0u, kCloseRangeCloexec) == 0) return;
#endif
  for (int fd = STDERR_FILENO + 1; fd < plan.descriptors; ++fd) fcntl(fd, F_SETFD, FD_CLOEXEC);
}

[[noreturn]] void FailInChild(const ChildPlan& plan) {
  int error = errno;
  ssize_t ignored = write(plan.report, &error, sizeof error);
  (void)ignored;
  _exit(kNotStarted);
}

// Opens path onto descriptor target; false on failure.
bool OpenOnto(const char* path, int flags, int target) {
  int fd = open(path, flags, 0644);
  if (fd < 0) return false;
  if (fd == target) return true;
  bool moved = dup2(fd, target) == target;
  close(fd);
  return moved;
}

[[noreturn]] void BecomeProgram(const ChildPlan& plan) {
  // This process's handlers would run in the child until exec (a Ctrl-C now would wake the
  // parent's interrupt thread through its pipe): every caught signal goes back to its default
  // before the signals that the parent held back for the fork can arrive.
  for (int signal = 1; signal < NSIG; ++signal) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) != 0) continue;
    if (current.sa_handler == SIG_IGN || current.sa_handler == SIG_DFL) continue;
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigaction(signal, &standard, nullptr);
  }
  sigprocmask(SIG_SETMASK, &plan.mask, nullptr);
  // The parent may have died before the request was made; then nobody would ever kill this.
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) FailInChild(plan);
  if (getppid() != plan.parent) _exit(kNotStarted);

  const int writeFlags = O_WRONLY | O_CREAT | O_TRUNC;
  if (!OpenOnto("/dev/null", O_RDONLY, STDIN_FILENO)) FailInChild(plan);
  if (plan.outputFile != nullptr && !OpenOnto(plan.outputFile, writeFlags, STDOUT_FILENO)) FailInChild(plan);
  if (plan.errorDescriptor >= 0) {
    // A descriptor copied onto itself keeps its close-on-exec flag: clear it by hand.
    if (plan.errorDescriptor == STDERR_FILENO) {
      if (fcntl(STDERR_FILENO, F_SETFD, 0) != 0) FailInChild(plan);
    } else if (dup2(plan.errorDescriptor, STDERR_FILENO) != STDERR_FILENO) {
      FailInChild(plan);
    }
  } else if (plan.errorFile != nullptr && !OpenOnto(plan.errorFile, writeFlags, STDERR_FILENO)) {
    FailInChild(plan);
  }
  KeepOnlyStandardDescriptors(plan);
  execve(plan.argv[0], plan.argv, environ);
  FailInChild(plan);
}

// The errno the child sent before it gave up, or 0 when the pipe closed on a successful exec.
int ReadChildError(int fd) {
  int error = 0;
  size_t got = 0;
  char* into = reinterpret_cast<char*>(&error);
  while (got < sizeof error) {
    ssize_t n = read(fd, into + got, sizeof error - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  return got == sizeof error ? (error != 0 ? error : ECHILD) : 0;
}

// One try of StartTiedChild.
int StartOnce(const std::vector<std::string>& argv, const ChildStreams& streams, pid_t& pid) {
  std::vector<char*> words;
  for (const std::string& word : argv) words.push_back(const_cast<char*>(word.c_str()));
  words.push_back(nullptr);

  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return errno;
  // The report pipe must survive the child's own descriptors 0 to 2 being replaced.
  for (int& end : ends) {
    if (end > STDERR_FILENO) continue;
    int moved = fcntl(end, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    close(end);
    end = moved;
  }
  if (ends[0] < 0 || ends[1] < 0) {
    for (int end : ends)
      if (end >= 0) close(end);
    return EMFILE;
  }

  ChildPlan plan;
  plan.argv = words.data();
  plan.outputFile = streams.outputFile.empty() ? nullptr : streams.outputFile.c_str();
  plan.errorFile = streams.errorFile.empty() ? nullptr : streams.errorFile.c_str();
  plan.errorDescriptor = streams.errorDescriptor;
  plan.parent = getpid();
  plan.report = ends[1];
  struct rlimit open {};
  plan.descriptors = getrlimit(RLIMIT_NOFILE, &open) == 0 && open.rlim_cur != RLIM_INFINITY
                         ? static_cast<int>(std::min<rlim_t>(open.rlim_cur, 1 << 20))
                         : 1 << 16;
  // No signal reaches the child before its handlers are reset.
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &plan.mask);
  pid_t child = fork();
  if (child == 0) BecomeProgram(plan);
  int forkError = errno;
  pthread_sigmask(SIG_SETMASK, &plan.mask, nullptr);
  close(ends[1]);
  if (child < 0) {
    close(ends[0]);
    return forkError;
  }
  int error = ReadChildError(ends[0]);
  close(ends[0]);
  if (error != 0) {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    return error;
  }
  pid = child;
  return 0;
}

}  // namespace

int StartTiedChild(const std::vector<std::string>& argv, const ChildStreams& streams, pid_t& pid) {
  if (argv.empty()) return EINVAL;
  return static_cast<int>(StartPatiently([&] { return static_cast<uint32_t>(StartOnce(argv, streams, pid)); }));
}
