#pragma once
// Collects the trace lines and user messages written while it lives, from any thread.
#include <mutex>
#include <string>
#include <vector>

#include "base/message.h"
#include "base/trace.h"

class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::vector<std::wstring> Lines() const;  // each as written, line feed included
  bool Contains(const std::wstring& line) const;  // an exact line, without its line feed
  bool ContainsText(const std::wstring& part) const;  // a substring of any line
  size_t Count(const std::wstring& line) const;
  void Clear();

 private:
  mutable std::mutex lock_;
  std::vector<std::wstring> lines_;
  TraceSink previous_;
};

class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  std::vector<std::wstring> Messages() const;

 private:
  mutable std::mutex lock_;
  std::vector<std::wstring> messages_;
  MessageSink previous_;
};
