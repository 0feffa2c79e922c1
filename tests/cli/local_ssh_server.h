#pragma once
// A private ssh server on 127.0.0.1 for the scale-out test of the README's recipe: the system's
// sshd, run as the current user from a configuration, a host key and a client key made in a
// work folder, on a free port of its own. It lets in the current user with that client key only.
// Stopped when the object ends, and by the system when the test process dies first, so no
// server outlives its test. POSIX only.
#include <string>
#include <vector>

class CLocalSshServer {
 public:
  // workDir: an empty folder (with its trailing separator) for the keys, the configurations
  // and the server's log.
  explicit CLocalSshServer(const std::string& workDir);
  ~CLocalSshServer();
  CLocalSshServer(const CLocalSshServer&) = delete;
  CLocalSshServer& operator=(const CLocalSshServer&) = delete;

  // Starts sshd for logins to the host names (each of which leads to this server through
  // ClientConfig()), every login getting the "NAME=value" settings in its environment; waits
  // until it listens and a login runs a command. False, with the reason in Error(), when sshd
  // or the ssh tools are missing or any step fails.
  bool Start(const std::vector<std::string>& hostNames, const std::vector<std::string>& loginEnvironment);
  void Stop();

  // Something accepts connections on the server's port.
  bool Listening() const;
  // The ssh client, by its full path, and a configuration file for its -F: the host names
  // reach this server with the client key, in batch mode, without checking or keeping host
  // keys (the server's key is new on every start).
  const std::string& Ssh() const { return ssh_; }
  const std::string& ClientConfig() const { return clientConfig_; }
  // Runs a command line on a host through ssh; its exit code (-1 when ssh cannot start), with
  // what it wrote to standard output in output and to standard error in error.
  int RunRemote(const std::string& host, const std::string& command, std::string& output, std::string& error);
  // Logins the server has let in so far, by its log.
  int AcceptedLogins() const;
  const std::string& Error() const { return error_; }

 private:
  bool FindPrograms();
  bool MakeKeys();
  bool WriteConfigs(const std::vector<std::string>& hostNames,
                    const std::vector<std::string>& loginEnvironment);
  bool Launch();
  bool WaitUntilListening();
  std::string LogText() const;

  std::string workDir_;
  std::string sshd_, ssh_, sshKeygen_;
  std::string serverConfig_, clientConfig_;
  int port_ = 0;
  int processId_ = 0;  // sshd's, while it runs
  int remoteRuns_ = 0;
  std::string error_;
};
