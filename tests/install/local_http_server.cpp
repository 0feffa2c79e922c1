#include "install/local_http_server.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;
#endif

namespace fs = std::filesystem;

namespace {

// Runs in the work folder. Everything is named relative to it, so the same script works when
// started from a Windows program under Wine, which cannot hand over host paths.
constexpr const char* kServerScript = R"PY(
import functools, hashlib, http.server, io, os, struct, sys, threading, time, traceback, zipfile

def write(name, data):
    if os.path.dirname(name):
        os.makedirs(os.path.dirname(name), exist_ok=True)
    with open(name, 'wb') as f:
        f.write(data)

def make_zip(members, stored_names=None):
    data = io.BytesIO()
    with zipfile.ZipFile(data, 'w') as archive:
        for i, member in enumerate(members):
            stored = stored_names[i] if stored_names else os.path.basename(member)
            info = zipfile.ZipInfo(stored, date_time=(2024, 1, 1, 0, 0, 0))
            info.external_attr = 0o100755 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join('content', member), 'rb') as f:
                archive.writestr(info, f.read())
    return data.getvalue()

def publish_sums():
    # The list of SHA-256 sums beside the files of every served folder, as sha256sum writes it.
    for folder, _, files in os.walk('www'):
        lines = []
        for name in sorted(files):
            if name == 'SHA256SUMS':
                continue
            with open(os.path.join(folder, name), 'rb') as f:
                lines.append(hashlib.sha256(f.read()).hexdigest() + '  ' + name + '\n')
        write(os.path.join(folder, 'SHA256SUMS'), ''.join(lines).encode())

def change_sums(name, change):
    path = os.path.join('www', os.path.dirname(name), 'SHA256SUMS')
    with open(path, encoding='utf-8') as f:
        lines = f.read().splitlines(True)
    write(path, ''.join(change(line) for line in lines).encode())

def after_sums(words):
    kind, name = words[0], words[1]
    if kind == 'nosums':
        os.remove(os.path.join('www', name, 'SHA256SUMS'))
    elif kind == 'corrupt':
        path = os.path.join('www', name)
        with open(path, 'rb') as f:
            data = bytearray(f.read())
        data[len(data) // 2] ^= 0xFF
        write(path, bytes(data))
    elif kind == 'wrongsum':
        base = os.path.basename(name)
        change_sums(name, lambda line: ('0' * 64 + '  ' + base + '\n') if line.endswith('  ' + base + '\n') else line)
    elif kind == 'unlisted':
        base = os.path.basename(name)
        change_sums(name, lambda line: '' if line.endswith('  ' + base + '\n') else line)
    elif kind == 'redirect':
        Handler.redirects['/' + name] = words[2]

AFTER_SUMS = ('nosums', 'corrupt', 'wrongsum', 'unlisted', 'redirect')

def patch_member(name, member, offsets, value):
    # Rewrites a 32-bit field of member in its local header and its central directory entry.
    path = os.path.join('www', name)
    with open(path, 'rb') as f:
        data = bytearray(f.read())
    with zipfile.ZipFile(io.BytesIO(bytes(data))) as archive:
        info = archive.getinfo(member)
    end = data.rfind(b'PK\x05\x06')
    count, at = struct.unpack_from('<H', data, end + 10)[0], struct.unpack_from('<I', data, end + 16)[0]
    for _ in range(count):
        length, extra, comment = struct.unpack_from('<HHH', data, at + 28)
        if data[at + 46:at + 46 + length].decode() == member:
            struct.pack_into('<I', data, at + offsets[1], value)
        at += 46 + length + extra + comment
    struct.pack_into('<I', data, info.header_offset + offsets[0], value)
    write(path, bytes(data))

def build(words):
    kind, name = words[0], words[1]
    if kind in AFTER_SUMS:
        return
    if kind == 'declare':
        patch_member(name, words[2], (22, 24), int(words[3]))
        return
    if kind == 'badcrc':
        patch_member(name, words[2], (14, 16), 0x12345678)
        return
    if kind == 'raw':
        write(os.path.join('www', name), words[2].encode())
        return
    if kind == 'zipas':
        write(os.path.join('www', name), make_zip(words[3::2], words[2::2]))
        return
    whole = make_zip(words[2:])
    write(os.path.join('www', name), whole)
    if kind == 'split':
        half = len(whole) // 2
        write(os.path.join('www', name + '.001'), whole[:half])
        write(os.path.join('www', name + '.002'), whole[half:])

class Handler(http.server.SimpleHTTPRequestHandler):
    lock = threading.Lock()
    redirects = {}
    def note(self):
        with Handler.lock:
            with open('requests.log', 'a') as log:
                log.write(self.path + '\n')
    def do_GET(self):
        self.note()
        if self.path in Handler.redirects:
            self.send_response(302)
            self.send_header('Location', Handler.redirects[self.path].replace('{port}', str(self.server.server_address[1])))
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        super().do_GET()
    def do_HEAD(self):
        self.note()
        super().do_HEAD()
    def log_message(self, *args):
        pass

try:
    limit = time.time() + float(sys.argv[1])
    watch_parent = len(sys.argv) > 2 and sys.argv[2] == 'watch-parent'
    parent = os.getppid()
    with open('archives.txt', encoding='utf-8') as f:
        rows = [line.split('\t') for line in f.read().splitlines() if line]
    os.makedirs('www', exist_ok=True)
    for row in rows:
        build(row)
    publish_sums()
    for row in rows:
        after_sums(row)
    root = os.path.abspath('www')
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=root))
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    write('port.tmp', str(server.server_address[1]).encode())
    os.replace('port.tmp', 'port')
except Exception:
    write('failed', traceback.format_exc().encode())
    sys.exit(1)

# Ends on request, when the test's folder is gone, when the test process has died (natively),
# and in any case at the time limit.
while (time.time() < limit and os.path.isdir(root) and not os.path.exists('stop')
       and not (watch_parent and os.getppid() != parent)):
    time.sleep(0.05)
server.shutdown()
server.server_close()
if os.path.isdir(root):
    write('stopped', b'')
)PY";

constexpr const char* kTimeLimitSeconds = "600";

bool Exists(const std::wstring& path) {
  std::error_code ignored;
  return fs::exists(fs::path(path), ignored);
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::wstring& path, const std::string& text) {
  std::ofstream(fs::path(path), std::ios::binary | std::ios::trunc) << text;
}

#ifdef _WIN32
// The host's python3 as seen from Wine; on Windows itself a python.exe on PATH.
std::wstring FindPython() {
  const wchar_t* wineHost = L"Z:\\usr\\bin\\python3";
  if (GetFileAttributesW(wineHost) != INVALID_FILE_ATTRIBUTES) return wineHost;
  wchar_t found[1024] = {0};
  if (SearchPathW(nullptr, L"python.exe", nullptr, 1024, found, nullptr) > 0) return found;
  return std::wstring();
}
#else
std::string FindPython() {
  if (access("/usr/bin/python3", X_OK) == 0) return "/usr/bin/python3";
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::string candidate = dir + "/python3";
    if (!dir.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::string();
}
#endif

}  // namespace

LocalHttpServer::LocalHttpServer(const std::wstring& workDir) : workDir_(workDir) {
  std::error_code ignored;
  fs::create_directories(fs::path(Content()), ignored);
  fs::create_directories(fs::path(Served()), ignored);
}

LocalHttpServer::~LocalHttpServer() { Stop(); }

std::wstring LocalHttpServer::Separator() {
#ifdef _WIN32
  return L"\\";
#else
  return L"/";
#endif
}

bool LocalHttpServer::Start() {
  WriteAll(workDir_ + L"serve.py", kServerScript);
  std::string list;
  for (const auto& words : archives_) {
    for (size_t i = 0; i < words.size(); ++i) list += (i > 0 ? "\t" : "") + WideToUtf8(words[i]);
    list += "\n";
  }
  WriteAll(workDir_ + L"archives.txt", list);

#ifdef _WIN32
  std::wstring python = FindPython();
  if (python.empty()) {
    error_ = "python3 not found";
    return false;
  }
  std::wstring commandLine = L"\"" + python + L"\" serve.py " + Utf8ToWide(kTimeLimitSeconds);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(python.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      workDir_.c_str(), &startup, &process)) {
    error_ = "python3 could not be started";
    return false;
  }
  // A host program started from Wine comes without handles; it is stopped through its folder.
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
#else
  std::string python = FindPython();
  if (python.empty()) {
    error_ = "python3 not found";
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, WideToUtf8(workDir_).c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  std::string script = "serve.py", limit = kTimeLimitSeconds, watch = "watch-parent";
  char* argv[] = {&python[0], &script[0], &limit[0], &watch[0], nullptr};
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, python.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    error_ = "python3 could not be started";
    return false;
  }
  processId_ = pid;
#endif
  running_ = true;

  // Bounded wait for the server to listen (or to report why it cannot).
  for (int i = 0; i < 600; ++i) {
    if (Exists(workDir_ + L"port")) {
      port_ = std::atoi(ReadAll(workDir_ + L"port").c_str());
      if (port_ > 0) return true;
    }
    if (Exists(workDir_ + L"failed")) {
      error_ = ReadAll(workDir_ + L"failed");
      Stop();
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  error_ = "the server did not start within 30 seconds";
  Stop();
  return false;
}

void LocalHttpServer::Stop() {
  if (!running_) return;
  running_ = false;
  WriteAll(workDir_ + L"stop", "");
#ifdef _WIN32
  for (int i = 0; i < 200 && !Exists(workDir_ + L"stopped") && !Exists(workDir_ + L"failed"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
#else
  pid_t pid = static_cast<pid_t>(processId_);
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
#endif
}

std::wstring LocalHttpServer::BaseAddress() const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/";
}

std::vector<std::string> LocalHttpServer::Requests() const {
  std::vector<std::string> paths;
  std::stringstream log(ReadAll(workDir_ + L"requests.log"));
  std::string line;
  while (std::getline(log, line)) paths.push_back(line);
  return paths;
}
