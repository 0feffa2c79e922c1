#pragma once
// Messages the user must see: a system-modal box on Windows, captioned "Message" or with the
// program's name; stderr on POSIX. Tests and the command line install their own sink, which
// gets the text alone.
#include <functional>
#include <string>

#include "base/format.h"

using MessageSink = std::function<void(const std::wstring& text)>;

// The caption of the platform's message box.
enum MessageCaption : int {
  CAPTION_MESSAGE = 0,       // "Message"
  CAPTION_PROGRAM_NAME = 1,  // the executable's file name without its extension
};

// Replaces the sink for the whole process; an empty sink restores the platform's default.
// Returns the previous sink.
MessageSink SetMessageSink(MessageSink sink);

// Shows a finished text through the current sink; returns when the user has closed it.
void EmitMessage(const std::wstring& text, MessageCaption caption = CAPTION_MESSAGE);

// A question with the answers Yes and No, in a box captioned caption over the window owner (the
// platform's window handle, null for none); true for Yes. A question sink answers it in its
// place; without one, an installed message sink takes its text and the answer is No.
using QuestionSink = std::function<bool(const std::wstring& text)>;
QuestionSink SetQuestionSink(QuestionSink sink);
bool EmitQuestion(const std::wstring& text, const std::wstring& caption, void* owner);

// A message in a box captioned "Message".
template <typename... Args>
bool ShowMessage(const wchar_t* format, const Args&... args) {
  EmitMessage(Sprintf(format, args...));
  return true;
}

// A message in a box captioned with the program's name, as the application's own message box
// shows it.
template <typename... Args>
bool ShowProgramMessage(const wchar_t* format, const Args&... args) {
  EmitMessage(Sprintf(format, args...), CAPTION_PROGRAM_NAME);
  return true;
}
