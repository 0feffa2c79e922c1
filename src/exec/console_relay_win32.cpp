#include <windows.h>

#include <chrono>
#include <string>

#include "base/format.h"
#include "base/trace.h"
#include "exec/console_relay.h"

namespace {

// The host's relay, by its process id: the starter makes it before the host runs, so the name
// is known to both without passing anything.
std::wstring RelayName(DWORD hostProcessId) {
  return Sprintf(L"\\\\.\\pipe\\KestruneConsoleRelay-%u", static_cast<unsigned>(hostProcessId));
}

constexpr DWORD kRelayBufferBytes = 16 * 1024;
// How long the relay's last bytes may take once the host has ended, and how long the host waits
// for its programs' last bytes once its line has ended.
constexpr auto kDrainWait = std::chrono::milliseconds(1000);
constexpr DWORD kCopyWaitMillis = 5000;

bool WriteAll(HANDLE handle, const char* bytes, DWORD count) {
  while (count > 0) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes, count, &written, nullptr) || written == 0) return false;
    bytes += written;
    count -= written;
  }
  return true;
}

// How many bytes at the start of text end on a whole UTF-8 character: a character cut by the
// end of a piece waits for the next one.
size_t WholeCharacters(const std::string& text) {
  size_t end = text.size();
  for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const unsigned char c = static_cast<unsigned char>(text[text.size() - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (length > back) end = text.size() - back;
    break;
  }
  return end;
}

}  // namespace

// ---- The starter's end.

struct CConsoleRelayReader::CState {
  enum Phase { CONNECTING, READING, ENDED };

  HANDLE pipe = INVALID_HANDLE_VALUE;
  HANDLE event = nullptr;
  OVERLAPPED overlapped{};
  Phase phase = ENDED;
  char buffer[kRelayBufferBytes];

  // Asks for the next bytes; the event says when they (or the end) have come.
  void Read() {
    if (!ReadFile(pipe, buffer, sizeof buffer, nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING)
      phase = ENDED;
  }

  void Cancel() {
    if (phase == ENDED) return;
    CancelIoEx(pipe, &overlapped);
    DWORD ignored = 0;
    GetOverlappedResult(pipe, &overlapped, &ignored, TRUE);
    phase = ENDED;
  }
};

CConsoleRelayReader::CConsoleRelayReader(unsigned long hostProcessId) : state_(new CState) {
  const std::wstring name = RelayName(hostProcessId);
  // One instance, which must be this one: nobody else can sit on the name first.
  const DWORD openMode = PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE;
  state_->pipe = CreateNamedPipeW(
      name.c_str(), openMode, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
      0, kRelayBufferBytes, 0, nullptr);
  if (state_->pipe == INVALID_HANDLE_VALUE) {
    DebugLog(L"ConsoleRelay-no pipe-%u", static_cast<unsigned>(GetLastError()));
    return;
  }
  state_->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (state_->event == nullptr) return;
  state_->overlapped.hEvent = state_->event;
  if (!ConnectNamedPipe(state_->pipe, &state_->overlapped)) {
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
      state_->phase = CState::CONNECTING;
    } else if (error == ERROR_PIPE_CONNECTED) {
      state_->phase = CState::READING;
      state_->Read();
    }
  }
}

CConsoleRelayReader::~CConsoleRelayReader() {
  state_->Cancel();
  if (state_->event != nullptr) CloseHandle(state_->event);
  if (state_->pipe != INVALID_HANDLE_VALUE) CloseHandle(state_->pipe);
}

void* CConsoleRelayReader::Event() const { return state_->phase == CState::ENDED ? nullptr : state_->event; }

void CConsoleRelayReader::Take(const ConsoleErrorSink& errors) {
  CState& s = *state_;
  if (s.phase == CState::ENDED) return;
  DWORD got = 0;
  const BOOL done = GetOverlappedResult(s.pipe, &s.overlapped, &got, FALSE);
  if (!done && GetLastError() == ERROR_IO_INCOMPLETE) return;
  if (s.phase == CState::CONNECTING) {
    s.phase = done ? CState::READING : CState::ENDED;
    if (done) s.Read();
    return;
  }
  // A failed read is the host's end of the relay closing: the host has ended.
  if (!done) {
    s.phase = CState::ENDED;
    return;
  }
  if (got > 0 && errors) errors(std::string(s.buffer, got));
  s.Read();
}

void CConsoleRelayReader::Drain(const ConsoleErrorSink& errors) {
  CState& s = *state_;
  // A host that never connected is gone and never will.
  if (s.phase == CState::CONNECTING) s.Cancel();
  const auto until = std::chrono::steady_clock::now() + kDrainWait;
  while (s.phase == CState::READING) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0 || WaitForSingleObject(s.event, static_cast<DWORD>(left.count())) != WAIT_OBJECT_0)
      break;
    Take(errors);
  }
  s.Cancel();
}

// ---- The host's end.

struct CConsoleRelayWriter::CState {
  HANDLE relay = INVALID_HANDLE_VALUE;  // the relay's client end
  HANDLE readEnd = nullptr;             // the programs' standard error, read here
  HANDLE writeEnd = nullptr;
  HANDLE console = nullptr;  // this process's standard error as it was: the console
  HANDLE copier = nullptr;

  // Shows bytes in the console as the programs would have shown them themselves: a console
  // takes wide text (so every name reads right whatever its code page), anything else the bytes.
  // last: the end, where a character cut short is shown as it is.
  void Show(std::string& pending, const char* bytes, DWORD count, bool last) {
    DWORD mode = 0;
    if (console == nullptr || console == INVALID_HANDLE_VALUE) return;
    if (!GetConsoleMode(console, &mode)) {
      WriteAll(console, bytes, count);
      return;
    }
    pending.append(bytes, count);
    const size_t whole = last ? pending.size() : WholeCharacters(pending);
    if (whole == 0) return;
    const int wide = MultiByteToWideChar(CP_UTF8, 0, pending.data(), static_cast<int>(whole), nullptr, 0);
    std::wstring text(static_cast<size_t>(wide > 0 ? wide : 0), L'\0');
    if (wide > 0) MultiByteToWideChar(CP_UTF8, 0, pending.data(), static_cast<int>(whole), &text[0], wide);
    DWORD written = 0;
    WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    pending.erase(0, whole);
  }

  // Every byte to the console and into the relay, until the programs' end. A relay that fails
  // (the starter has gone) is let go; the console goes on.
  void Copy() {
    char buffer[kRelayBufferBytes];
    std::string pending;
    bool relaying = true;
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      Show(pending, buffer, got, false);
      if (relaying) relaying = WriteAll(relay, buffer, got);
    }
    if (!pending.empty()) Show(pending, "", 0, true);
  }
};

CConsoleRelayWriter::CConsoleRelayWriter() : state_(new CState) {
  CState& s = *state_;
  s.relay = CreateFileW(RelayName(GetCurrentProcessId()).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                        nullptr);
  if (s.relay == INVALID_HANDLE_VALUE) return;
  if (!CreatePipe(&s.readEnd, &s.writeEnd, nullptr, 0)) {
    s.readEnd = s.writeEnd = nullptr;
    return;
  }
  // Known to the copy before it starts.
  s.console = GetStdHandle(STD_ERROR_HANDLE);
  s.copier = CreateThread(
      nullptr, 0,
      [](void* parameter) -> DWORD {
        static_cast<CState*>(parameter)->Copy();
        return 0;
      },
      &s, 0, nullptr);
  if (s.copier == nullptr) return;
  // The programs the line starts take this process's standard error as theirs.
  SetStdHandle(STD_ERROR_HANDLE, s.writeEnd);
}

CConsoleRelayWriter::~CConsoleRelayWriter() {
  CState& s = *state_;
  if (s.copier != nullptr) {
    SetStdHandle(STD_ERROR_HANDLE, s.console);
    CloseHandle(s.writeEnd);
    s.writeEnd = nullptr;
    // A program of the line that left something running with the pipe would keep the copy
    // going: the host does not wait for it past a few seconds, and ends with what it has.
    if (WaitForSingleObject(s.copier, kCopyWaitMillis) != WAIT_OBJECT_0) {
      state_.release();  // the copy still reads what it holds; the process's end takes it all
      return;
    }
    CloseHandle(s.copier);
  }
  for (HANDLE handle : {s.readEnd, s.writeEnd})
    if (handle != nullptr) CloseHandle(handle);
  if (s.relay != INVALID_HANDLE_VALUE) CloseHandle(s.relay);
}
