#include "support/trace_capture.h"

TraceCapture::TraceCapture() {
  previous_ = SetTraceSink([this](const std::wstring& line) {
    std::lock_guard<std::mutex> guard(lock_);
    lines_.push_back(line);
  });
}

TraceCapture::~TraceCapture() { SetTraceSink(previous_); }

std::vector<std::wstring> TraceCapture::Lines() const {
  std::lock_guard<std::mutex> guard(lock_);
  return lines_;
}

bool TraceCapture::Contains(const std::wstring& line) const { return Count(line) > 0; }

bool TraceCapture::ContainsText(const std::wstring& part) const {
  std::lock_guard<std::mutex> guard(lock_);
  for (const std::wstring& line : lines_)
    if (line.find(part) != std::wstring::npos) return true;
  return false;
}

size_t TraceCapture::Count(const std::wstring& line) const {
  std::lock_guard<std::mutex> guard(lock_);
  size_t count = 0;
  for (const std::wstring& written : lines_)
    if (written == line + L"\n") ++count;
  return count;
}

void TraceCapture::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  lines_.clear();
}

MessageCapture::MessageCapture() {
  previous_ = SetMessageSink([this](const std::wstring& text) {
    std::lock_guard<std::mutex> guard(lock_);
    messages_.push_back(text);
  });
}

MessageCapture::~MessageCapture() { SetMessageSink(previous_); }

std::vector<std::wstring> MessageCapture::Messages() const {
  std::lock_guard<std::mutex> guard(lock_);
  return messages_;
}
