#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "base/message.h"
#include "base/trace.h"

#ifdef _WIN32
#include <windows.h>

#include "base/program_dir.h"
#else
#include <cstdio>
#include <cstdlib>

#include "base/text.h"
#endif

namespace {
// The platform's own outputs, used while no sink is installed.
#ifdef _WIN32
// A trace viewer may attach at any time; nothing tells whether one listens.
bool IsPlatformTraceOn() { return true; }

void PlatformTrace(const std::wstring& line) { OutputDebugStringW(line.c_str()); }

void PlatformMessage(const std::wstring& text, MessageCaption caption) {
  const std::wstring title = caption == CAPTION_PROGRAM_NAME ? GetProgramName() : L"Message";
  MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_SYSTEMMODAL);
}

bool PlatformQuestion(const std::wstring& text, const std::wstring& caption, void* owner) {
  return MessageBoxW(static_cast<HWND>(owner), text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) ==
         IDYES;
}
#else
bool IsPlatformTraceOn() {
  static const bool enabled = std::getenv("KESTRUNE_TRACE") != nullptr;
  return enabled;
}

void PlatformTrace(const std::wstring& line) {
  if (!IsPlatformTraceOn()) return;
  std::string text = WideToUtf8(line);
  std::fwrite(text.data(), 1, text.size(), stderr);
}

// A terminal has no caption; the text goes alone, whichever box it would have been.
void PlatformMessage(const std::wstring& text, MessageCaption) {
  std::string narrow = WideToUtf8(text);
  std::fprintf(stderr, "%s\n", narrow.c_str());
}

// Nobody answers here: the text is said, and the answer is No.
bool PlatformQuestion(const std::wstring& text, const std::wstring&, void*) {
  PlatformMessage(text, CAPTION_PROGRAM_NAME);
  return false;
}
#endif

std::mutex sinkLock;
TraceSink traceSink;
std::atomic<bool> traceSinkSet{false};
MessageSink messageSink;
QuestionSink questionSink;
}  // namespace

TraceSink SetTraceSink(TraceSink sink) {
  std::lock_guard<std::mutex> guard(sinkLock);
  TraceSink previous = std::move(traceSink);
  traceSink = std::move(sink);
  traceSinkSet = static_cast<bool>(traceSink);
  return previous;
}

bool IsTraceListened() { return traceSinkSet.load(std::memory_order_relaxed) || IsPlatformTraceOn(); }

void EmitTrace(const std::wstring& line) {
  TraceSink sink;
  {
    std::lock_guard<std::mutex> guard(sinkLock);
    sink = traceSink;
  }
  if (sink)
    sink(line);
  else
    PlatformTrace(line);
}

// Within what a trace viewer takes in one message (4 KB) however the system's code page spells
// each character.
constexpr size_t kPlatformTraceBlockChars = 1300;

void EmitTraceLines(const std::vector<std::wstring>& lines) {
  TraceSink sink;
  {
    std::lock_guard<std::mutex> guard(sinkLock);
    sink = traceSink;
  }
  if (sink) {
    for (const std::wstring& line : lines) sink(line);
    return;
  }
  for (const std::wstring& block : TraceBlocks(lines, kPlatformTraceBlockChars)) PlatformTrace(block);
}

std::vector<std::wstring> TraceBlocks(const std::vector<std::wstring>& lines, size_t maxChars) {
  std::vector<std::wstring> blocks;
  std::wstring block;
  for (const std::wstring& line : lines) {
    if (!block.empty() && block.size() + line.size() > maxChars) {
      blocks.push_back(std::move(block));
      block.clear();
    }
    block += line;
  }
  if (!block.empty()) blocks.push_back(std::move(block));
  return blocks;
}

MessageSink SetMessageSink(MessageSink sink) {
  std::lock_guard<std::mutex> guard(sinkLock);
  MessageSink previous = std::move(messageSink);
  messageSink = std::move(sink);
  return previous;
}

void EmitMessage(const std::wstring& text, MessageCaption caption) {
  MessageSink sink;
  {
    std::lock_guard<std::mutex> guard(sinkLock);
    sink = messageSink;
  }
  if (sink)
    sink(text);
  else
    PlatformMessage(text, caption);
}

QuestionSink SetQuestionSink(QuestionSink sink) {
  std::lock_guard<std::mutex> guard(sinkLock);
  QuestionSink previous = std::move(questionSink);
  questionSink = std::move(sink);
  return previous;
}

bool EmitQuestion(const std::wstring& text, const std::wstring& caption, void* owner) {
  QuestionSink question;
  MessageSink message;
  {
    std::lock_guard<std::mutex> guard(sinkLock);
    question = questionSink;
    message = messageSink;
  }
  if (question) return question(text);
  if (message) {
    message(text);
    return false;
  }
  return PlatformQuestion(text, caption, owner);
}
