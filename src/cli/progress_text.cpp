#include "cli/progress_text.h"

#include <cstdio>

namespace {
std::string Clock(double seconds) {
  long whole = seconds > 0 ? static_cast<long>(seconds) : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  return text;
}

// Cuts text to width columns, counting each UTF-8 character as one column and never splitting
// one.
std::string Fit(const std::string& text, int width) {
  int columns = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (columns == width) return text.substr(0, i);
    ++columns;
  }
  return text;
}
// "[########------------]  40%": the share of total that seconds reached.
std::string Bar(double seconds, double total) {
  double fraction = seconds / total;
  if (fraction < 0) fraction = 0;
  if (fraction > 1) fraction = 1;
  const int cells = 20;
  int filled = static_cast<int>(fraction * cells + 0.5);
  char percent[8];
  std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(fraction * 100));
  return "[" + std::string(filled, '#') + std::string(cells - filled, '-') + "] " + percent;
}
}  // namespace

std::string FormatProgressStatus(const std::string& counter, const std::string& name, double seconds,
                                 double total, double speed, int width) {
  std::string line = counter + " " + (total > 0 ? Bar(seconds, total) : Clock(seconds));
  if (speed > 0) {
    char figure[32];
    std::snprintf(figure, sizeof figure, "  %.1fx", speed);
    line += figure;
    if (total > 0) line += "  " + Clock((total - seconds) / speed) + " left";
  }
  line += "  " + name;
  return Fit(line, width);
}

std::string FormatProgressLine(const std::string& counter, const std::string& name, double seconds,
                               double total, int width) {
  return FormatProgressStatus(counter, name, seconds, total, 0, width);
}
