#include "batch/file_command.h"

CBuiltCommand ProbeAndBuild(const JobSettings& settings, const std::wstring& inputPath,
                            const ProbeFunction& probe, const COutputReservations& reserved, bool pause) {
  const std::wstring described = FileToDescribe(settings, inputPath);
  MediaDesc media;
  ResetMediaDesc(media);
  const bool probed = !described.empty() && probe(described, media);
  return BuildCommand(settings, inputPath, probed ? &media : nullptr, reserved, pause);
}
