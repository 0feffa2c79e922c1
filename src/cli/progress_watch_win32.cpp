#include "cli/progress_watch.h"

// The console window shows ffmpeg's own statistics line; nothing is redirected here.
struct CProgressWatch::CState {};

CProgressWatch::CProgressWatch(const std::string&, const std::string&, double) {}

CProgressWatch::~CProgressWatch() = default;
