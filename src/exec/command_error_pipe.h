#pragma once
// A pipe that takes the standard error of the programs one command line starts, so that the
// one who runs the line reads that line's output alone while other lines run beside it. The
// command text stays exactly what it is; only where its programs' standard error lands changes.
// Only this pipe's write end is handed to those programs: lines started at the same time on
// other threads never hold it, so the reader sees the end when its own line is over.
//
// POSIX only; on Windows the pipe never opens and the programs keep the process's own
// standard error (the console shows their output).
#include <string>

class CCommandErrorPipe {
 public:
  CCommandErrorPipe();
  ~CCommandErrorPipe();
  CCommandErrorPipe(const CCommandErrorPipe&) = delete;
  CCommandErrorPipe& operator=(const CCommandErrorPipe&) = delete;

  bool IsOpen() const { return readEnd_ >= 0; }

  // Waits for output; false at the end, once CloseWriteEnd has been called and every program
  // given the write end has ended.
  bool Read(std::string& chunk);

  // After the line: the pipe's end is then the end of its programs' output.
  void CloseWriteEnd();

  // Writes text into the pipe, for the interpreter's own messages about the line.
  void Write(const std::string& text);

  // The descriptor a program of the line gets as its standard error; -1 when closed.
  int WriteEnd() const { return writeEnd_; }

 private:
  int readEnd_ = -1;
  int writeEnd_ = -1;
};
