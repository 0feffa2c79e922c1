#include <atomic>
#include <mutex>

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
