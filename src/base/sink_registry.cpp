#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "base/message.h"
#include "base/platform_output.h"
#include "base/trace.h"

namespace {
std::mutex sinkLock;
TraceSink traceSink;
std::atomic<bool> traceSinkSet{false};
MessageSink messageSink;
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
