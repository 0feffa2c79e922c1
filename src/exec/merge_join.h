#pragma once
// The join that ends a merge-files run: every input was remuxed to its intermediate transport
// stream beside itself, and one more command reads them end to end into one output named after
// the first input. The names come from the output naming (jobs/output_naming.h).
#include <string>
#include <vector>

// Refuses a list that a merge-files run cannot carry out; true when all is well, otherwise
// refusal holds the text to show, and nothing may run. Each entry must have a file name with
// an extension (the intermediate of "dir/name" would be "dir/.ts"), no name may hold "|",
// which separates the parts of the join's "concat:" list, and the first entry's extension,
// which the joined file takes and by which ffmpeg picks its format, must be letters and digits.
bool CheckMergeEntries(const std::vector<std::wstring>& files, std::wstring& refusal);

// The concat join of the intermediates into output, ending in " & pause".
std::wstring MakeJoinCommand(const std::vector<std::wstring>& intermediates, const std::wstring& output);
