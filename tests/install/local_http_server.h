#pragma once
// A real HTTP server on 127.0.0.1, for the installer's tests: python3's http.server on a free
// port, serving the folder www/ below a work folder. It can first build the archives the
// installer expects with python3's zipfile module. Stopped when the object ends (and in any
// case after a time limit, or once its work folder is gone), so no server outlives its test.
#include <string>
#include <vector>

class LocalHttpServer {
 public:
  // workDir: an empty folder (trailing separator) that the server works in; stand-ins for the
  // programs are placed in Content() before Start.
  explicit LocalHttpServer(const std::wstring& workDir);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  // Served files are made at start: "zip NAME MEMBER..." builds www/NAME from files of
  // Content(); "split NAME MEMBER..." builds the same zip and serves it cut in two as NAME.001
  // and NAME.002 (www/NAME keeps the whole for comparison); "raw NAME TEXT" serves TEXT.
  // NAME may lie in a subfolder ("a/MediaInfo.zip"); a MEMBER read from a subfolder of
  // Content() is stored under its file name alone; "zipas NAME STORED MEMBER..." stores each
  // MEMBER under the name STORED before it (any name, "../x" and "sub/x" too). A zip built by an
  // earlier row is then altered by "declare NAME MEMBER SIZE" (its headers say MEMBER holds SIZE
  // bytes) and "badcrc NAME MEMBER" (they give MEMBER a wrong CRC).
  // Every served folder then gets its SHA256SUMS (the sha256sum format, made with python's
  // hashlib), which these rows change afterwards: "nosums FOLDER" takes it away ("." for the
  // top), "corrupt NAME" flips a byte in the middle of the served file, "wrongsum NAME" lists a
  // wrong sum for it, "unlisted NAME" drops its line; "redirect PATH TARGET" answers a request
  // for /PATH with a redirect to TARGET, where "{port}" stands for the server's port.
  void AddArchive(const std::vector<std::wstring>& words) { archives_.push_back(words); }

  // Starts the server and waits until it listens; false (with the reason in Error()) when it
  // cannot. Natively python3 comes from PATH; under Wine it is the host's /usr/bin/python3.
  bool Start();
  void Stop();

  std::wstring Content() const { return workDir_ + L"content" + Separator(); }
  std::wstring Served() const { return workDir_ + L"www" + Separator(); }
  // "http://127.0.0.1:PORT/" once started; after Stop nothing listens there any more.
  std::wstring BaseAddress() const;
  // The paths requested so far, in order.
  std::vector<std::string> Requests() const;
  const std::string& Error() const { return error_; }

 private:
  static std::wstring Separator();

  std::wstring workDir_;
  std::vector<std::vector<std::wstring>> archives_;
  int port_ = 0;
  bool running_ = false;
  long long processId_ = 0;  // natively, the server's process id
  std::string error_;
};
