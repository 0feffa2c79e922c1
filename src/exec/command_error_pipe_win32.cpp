#include "exec/command_error_pipe.h"

// The console shows the programs' own output; nothing is redirected on Windows.
CCommandErrorPipe::CCommandErrorPipe() = default;

CCommandErrorPipe::~CCommandErrorPipe() = default;

bool CCommandErrorPipe::Read(std::string&) { return false; }

void CCommandErrorPipe::CloseWriteEnd() {}

void CCommandErrorPipe::Write(const std::string&) {}
