#ifndef _WIN32
#include "local_ssh_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/text.h"
#include "exec/program_lookup.h"

extern char** environ;

namespace {

// sshd, run as root, drops its privileges into this empty folder, which the system's ssh
// service makes at its start; without that service (a container, a clean build machine) it is
// missing, and sshd refuses to start.
const char kPrivilegeSeparationDir[] = "/run/sshd";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WriteAll(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

// A program by its full path: PATH first, then the system folders that an ordinary user's PATH
// leaves out (sshd lies in /usr/sbin). sshd must be started by its full path, since it starts
// itself again for every connection.
std::string FindProgram(const char* name) {
  const char* path = std::getenv("PATH");
  std::string folders = std::string(path != nullptr ? path : "") + ":/usr/sbin:/usr/local/sbin:/sbin";
  std::wstring found = SearchFolderList(folders, Utf8ToWide(name));
  if (found.empty()) return std::string();
  std::error_code ignored;
  return std::filesystem::absolute(std::filesystem::path(WideToUtf8(found)), ignored).string();
}

// Runs a program with its words, standard input from the null device and its two outputs into
// files; its exit code, or -1 when it cannot start or does not end normally.
int RunProgram(std::vector<std::string> words, const std::string& outFile, const std::string& errFile) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A port that was free a moment ago: the system picks it for a socket that is closed again.
int FindFreePort() {
  int socketFd = socket(AF_INET, SOCK_STREAM, 0);
  if (socketFd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(socketFd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
      getsockname(socketFd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  close(socketFd);
  return port;
}

bool Connects(int port) {
  int socketFd = socket(AF_INET, SOCK_STREAM, 0);
  if (socketFd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  bool connected = connect(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(socketFd);
  return connected;
}

// A value for either configuration file, in double quotes; neither file can carry a double
// quote or a line break inside one, and sshd reads '%' in some paths as the start of a token.
bool Quote(const std::string& value, std::string& quoted) {
  if (value.find_first_of("\"\n%") != std::string::npos) return false;
  quoted = "\"" + value + "\"";
  return true;
}

// Only this user with the test's key gets in. The keys lie in a folder under the shared
// temporary folder, which sshd's strict checks of folder rights would refuse; PAM is left out
// because it needs root and a system service. environment: the quoted settings of SetEnv.
std::string ServerConfigText(int port, const std::string& user, const std::string& hostKey,
                             const std::string& authorizedKeys, const std::string& pidFile,
                             const std::string& environment) {
  std::string text = "ListenAddress 127.0.0.1\nPort " + std::to_string(port) + "\nHostKey " + hostKey +
                     "\nPidFile " + pidFile + "\nAuthorizedKeysFile " + authorizedKeys + "\nAllowUsers " +
                     user +
                     "\nStrictModes no\nUsePAM no\nPubkeyAuthentication yes\nPasswordAuthentication no\n"
                     "KbdInteractiveAuthentication no\nPermitRootLogin prohibit-password\nUseDNS no\n"
                     "PrintMotd no\nPrintLastLog no\nX11Forwarding no\nAllowTcpForwarding no\n"
                     "AllowAgentForwarding no\nLogLevel INFO\n";
  if (!environment.empty()) text += "SetEnv" + environment + "\n";
  return text;
}

// Every host name leads to the server; nothing is asked, and no host key is checked or kept
// (the server's is new on every start).
std::string ClientConfigText(int port, const std::string& user, const std::string& clientKey,
                             const std::vector<std::string>& hostNames) {
  std::string text = "Host";
  for (const std::string& host : hostNames) text += " " + host;
  text += "\n  HostName 127.0.0.1\n  Port " + std::to_string(port) + "\n  User " + user +
          "\n  IdentityFile " + clientKey +
          "\n  IdentitiesOnly yes\n  IdentityAgent none\n  BatchMode yes\n  StrictHostKeyChecking no\n"
          "  UserKnownHostsFile /dev/null\n  GlobalKnownHostsFile /dev/null\n  CheckHostIP no\n"
          "  ConnectTimeout 10\n  ControlMaster no\n  ControlPath none\n  ForwardAgent no\n"
          "  ForwardX11 no\n  LogLevel ERROR\n";
  return text;
}

}  // namespace

CLocalSshServer::CLocalSshServer(const std::string& workDir) : workDir_(workDir) {}

CLocalSshServer::~CLocalSshServer() { Stop(); }

bool CLocalSshServer::Start(const std::vector<std::string>& hostNames,
                            const std::vector<std::string>& loginEnvironment) {
  if (!FindPrograms() || !MakeKeys()) return false;
  // A port found free may be taken by another program before sshd binds it; sshd then ends at
  // its start, and it is tried again on another port.
  bool listening = false;
  for (int attempt = 0; attempt < 3 && !listening; ++attempt) {
    if (!WriteConfigs(hostNames, loginEnvironment) || !Launch()) return false;
    listening = WaitUntilListening();
    if (!listening) Stop();
  }
  if (!listening) return false;
  std::string output, error;
  if (RunRemote(hostNames.front(), "true", output, error) != 0) {
    error_ = "a login by ssh failed: " + error + "\nsshd's log:\n" + LogText();
    Stop();
    return false;
  }
  return true;
}

bool CLocalSshServer::FindPrograms() {
  sshd_ = FindProgram("sshd");
  ssh_ = FindProgram("ssh");
  sshKeygen_ = FindProgram("ssh-keygen");
  if (sshd_.empty() || ssh_.empty() || sshKeygen_.empty()) {
    error_ =
        "sshd, ssh or ssh-keygen is not installed (tools/setup.sh installs openssh-server and "
        "openssh-client)";
    return false;
  }
  return true;
}

bool CLocalSshServer::MakeKeys() {
  for (const char* key : {"host_key", "client_key"}) {
    std::string file = workDir_ + key;
    if (RunProgram({sshKeygen_, "-q", "-t", "ed25519", "-N", "", "-C", "kestrune test", "-f", file},
                   workDir_ + "keygen.out", workDir_ + "keygen.err") != 0) {
      error_ = "ssh-keygen could not make " + file + ": " + ReadAll(workDir_ + "keygen.err");
      return false;
    }
  }
  return true;
}

bool CLocalSshServer::WriteConfigs(const std::vector<std::string>& hostNames,
                                   const std::vector<std::string>& loginEnvironment) {
  port_ = FindFreePort();
  const passwd* user = getpwuid(geteuid());
  if (port_ == 0 || user == nullptr || hostNames.empty()) {
    error_ = "no free port on 127.0.0.1, or the current user has no name";
    return false;
  }
  std::string hostKey, clientKey, authorizedKeys, pidFile, environment;
  bool quoted = Quote(workDir_ + "host_key", hostKey) && Quote(workDir_ + "client_key", clientKey) &&
                Quote(workDir_ + "client_key.pub", authorizedKeys) && Quote(workDir_ + "sshd.pid", pidFile);
  for (const std::string& setting : loginEnvironment) {
    std::string value;
    quoted = quoted && Quote(setting, value);
    environment += " " + value;
  }
  if (!quoted) {
    error_ = "the work folder or a login setting holds a character ssh's configuration cannot carry";
    return false;
  }
  std::string server = ServerConfigText(port_, user->pw_name, hostKey, authorizedKeys, pidFile, environment);
  std::string client = ClientConfigText(port_, user->pw_name, clientKey, hostNames);
  serverConfig_ = workDir_ + "sshd_config";
  clientConfig_ = workDir_ + "ssh_config";
  if (!WriteAll(serverConfig_, server) || !WriteAll(clientConfig_, client)) {
    error_ = "the configurations could not be written into " + workDir_;
    return false;
  }
  return true;
}

bool CLocalSshServer::Launch() {
  if (geteuid() == 0 && access(kPrivilegeSeparationDir, F_OK) != 0 &&
      mkdir(kPrivilegeSeparationDir, 0755) != 0) {
    error_ = std::string("sshd runs as root and needs ") + kPrivilegeSeparationDir +
             ", which could not be made: " + std::strerror(errno);
    return false;
  }
  std::string log = workDir_ + "sshd.log";
  std::vector<std::string> words = {sshd_, "-D", "-f", serverConfig_, "-E", log};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  // Started by fork rather than posix_spawn for the one setting posix_spawn cannot make: sshd
  // is ended by the system when this process ends, should the test die before Stop. Between
  // fork and exec only calls that are safe there.
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    int null = open("/dev/null", O_RDWR);
    int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (null >= 0) dup2(null, 0);
    if (logFd >= 0) {
      dup2(logFd, 1);
      dup2(logFd, 2);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (pid < 0) {
    error_ = std::string("sshd could not be started: ") + std::strerror(errno);
    return false;
  }
  processId_ = pid;
  return true;
}

// Bounded wait for sshd to listen, or to end and say why in its log.
bool CLocalSshServer::WaitUntilListening() {
  for (int i = 0; i < 200; ++i) {
    if (waitpid(processId_, nullptr, WNOHANG) == processId_) {
      processId_ = 0;
      error_ = "sshd ended at its start:\n" + LogText();
      return false;
    }
    if (Connects(port_)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  error_ = "sshd did not listen on 127.0.0.1 within 10 seconds:\n" + LogText();
  return false;
}

void CLocalSshServer::Stop() {
  if (processId_ == 0) return;
  pid_t pid = processId_;
  processId_ = 0;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

bool CLocalSshServer::Listening() const { return port_ != 0 && Connects(port_); }

int CLocalSshServer::RunRemote(const std::string& host, const std::string& command, std::string& output,
                               std::string& error) {
  std::string stem = workDir_ + "remote" + std::to_string(remoteRuns_++);
  int code = RunProgram({ssh_, "-F", clientConfig_, host, command}, stem + ".out", stem + ".err");
  output = ReadAll(stem + ".out");
  error = ReadAll(stem + ".err");
  return code;
}

int CLocalSshServer::AcceptedLogins() const {
  std::istringstream log(LogText());
  int count = 0;
  for (std::string line; std::getline(log, line);)
    if (line.find("Accepted publickey for ") != std::string::npos) ++count;
  return count;
}

std::string CLocalSshServer::LogText() const { return ReadAll(workDir_ + "sshd.log"); }
#endif
