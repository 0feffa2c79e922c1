#pragma once
// Windows: the relay by which a console host (console_host.h) hands the standard error of its
// line's programs to the program that started it. The starter makes a named pipe for the host,
// named after the host's process id, before the host runs; the host, finding it, gives the line's
// programs a pipe of its own as their standard error and copies every byte from there both to
// its console, as the console always showed it, and into the relay. A host started without a
// relay (the media-info console) runs its line as it always did.
//
// Only the pipe's maker may be its server (first instance, one instance), and only a client on
// this computer can connect; what comes through is only ever read as text.
#include <memory>
#include <string>

#include "exec/console_host.h"

// The starter's end: the relay's server, read without blocking as the starter waits for the host.
class CConsoleRelayReader {
 public:
  // Makes the relay of the host with that process id; where it cannot be made, Event() is null
  // from the start.
  explicit CConsoleRelayReader(unsigned long hostProcessId);
  ~CConsoleRelayReader();
  CConsoleRelayReader(const CConsoleRelayReader&) = delete;
  CConsoleRelayReader& operator=(const CConsoleRelayReader&) = delete;

  // The event that is set when the relay has something to take (a connection, bytes, its end);
  // null once the relay has ended.
  void* Event() const;
  // Takes what the event announced, hands bytes to errors, and waits for more.
  void Take(const ConsoleErrorSink& errors);
  // After the host has ended: the bytes still in the relay, up to its end (a host that never
  // connected, or the relay's holder gone astray, ends it after a short wait).
  void Drain(const ConsoleErrorSink& errors);

 private:
  struct CState;
  std::unique_ptr<CState> state_;
};

// The host's end: while it lives, the programs this process starts write their standard error
// into a pipe whose bytes go to the console and into the relay. Nothing changes when the starter
// made no relay.
class CConsoleRelayWriter {
 public:
  CConsoleRelayWriter();
  // Puts the process's standard error back and waits (a little) for the last bytes to pass.
  ~CConsoleRelayWriter();
  CConsoleRelayWriter(const CConsoleRelayWriter&) = delete;
  CConsoleRelayWriter& operator=(const CConsoleRelayWriter&) = delete;

 private:
  struct CState;
  std::unique_ptr<CState> state_;
};
