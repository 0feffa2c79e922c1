#pragma once
// Names every file a run writes: beside its input, numbered _(02), _(03), ... whenever the name
// is taken, with the extension of the job and the chosen container or codec. The merge of
// files' intermediate transport streams and joined output, and the extracted audio named after
// its codec, are named here too, by the same numbering rule. The command builder and the batch
// worker only use these names.
//
// With an output folder (JobSettings::outputFolder) every one of these files goes there: it gets
// the name it would have beside its input, numbered on past what the output folder holds (and
// what the run reserved there), so two inputs of one name from two folders get two outputs.
#include <set>
#include <string>

#include "jobs/job_settings.h"

// The files a run has given its outputs so far. A name counts as taken when a file of that
// name exists or it is reserved here, so names chosen before their commands have run never
// collide, and a run's names are the same whether its commands ran yet or not. Names are
// compared as files, not as text: "d/../d/x_(02).AAC", a link to d, or (where the folder
// ignores case) "d/X_(02).aac" take the reservation of "d/x_(02).AAC" too.
class COutputReservations {
 public:
  // True when something of that name exists or a spelling of the same file is reserved here.
  bool IsTaken(const std::wstring& path) const;
  void Reserve(const std::wstring& path);

 private:
  std::set<std::wstring> files_;  // FileKey of each reserved name
};

// path's file name in folder (the part after its last separator); path itself when folder is
// empty.
std::wstring InOutputFolder(const std::wstring& folder, const std::wstring& path);

// The folder the files made from inputPath go to: empty without an output folder (beside the
// input); with one, the output folder, or, for a file below one of settings.folderRoots (the
// outermost that holds it), the same folder below the output folder as the file's is below
// that root. A path that would climb out of it ("." or ".." among its folders) is not mirrored.
std::wstring OutputFolderFor(const JobSettings& settings, const std::wstring& inputPath);

// The output of inputPath for the job of settings, in OutputFolderFor(settings, inputPath). False (out
// untouched) only when inputPath is empty or ends with ".". The result is never inputPath itself while it
// exists, and never a taken name. Reserves nothing.
bool GetOutputFileName(const JobSettings& settings, const std::wstring& inputPath, std::wstring& out,
                       const COutputReservations* reserved = nullptr);

// path when it is free; otherwise the first free name numbered on from it (a name that already
// ends in _(NN) numbers on from NN, so clip_(02).mkv becomes clip_(03).mkv).
std::wstring FirstFreeName(const std::wstring& path, const COutputReservations* reserved = nullptr);

// The intermediate transport stream of one input of a merge of files: stem + ".ts" (the path
// split at its last "."), or the first free name numbered on from it; in outputFolder when one
// is given. False for a path that does not split (empty, or ending in ".").
bool GetIntermediatePath(const std::wstring& inputPath, std::wstring& out,
                         const COutputReservations* reserved = nullptr,
                         const std::wstring& outputFolder = std::wstring());

// The joined output of a merge of files: stem(first) + "_ALL." + ext(first), or the first free
// name numbered on from it; in outputFolder when one is given. False when the first entry does
// not split.
bool GetJoinedOutputPath(const std::wstring& firstEntry, std::wstring& out,
                         const COutputReservations* reserved = nullptr,
                         const std::wstring& outputFolder = std::wstring());

// The extracted audio: the output path (already where it goes) with the extension of the file
// that holds it, in upper case ("clip_(02).AAC", "clip_(02).MKA"), numbered on with the
// lower-cased extension when that is taken.
std::wstring GetAudioExtractPath(const JobSettings& settings, const std::wstring& outputPath,
                                 const std::wstring& extension,
                                 const COutputReservations* reserved = nullptr);
