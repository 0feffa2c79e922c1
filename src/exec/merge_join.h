#pragma once
// The join that ends a merge-files run: every input was remuxed to its intermediate transport
// stream beside itself, and one more command reads them end to end into one output named after
// the first input.
#include <string>
#include <vector>

// Refuses a list that a merge-files run would mishandle; true when all is well, otherwise
// refusal holds the text to show. Each entry must have a file name with an extension (the
// intermediate of "dir/name" would be "dir/.ts"), no intermediate may be an input or be shared
// by two inputs, and the joined output may not be an input.
bool CheckMergeEntries(const std::vector<std::wstring>& files, std::wstring& refusal);

// The joined output: stem(first) + "_ALL." + ext(first). False when the first entry does not
// split.
bool GetJoinedOutputPath(const std::wstring& firstEntry, std::wstring& out);

// The concat join of the entries' intermediates, ending in " & pause". False when the first
// entry does not split (then no join is made).
bool MakeJoinCommand(const std::vector<std::wstring>& files, std::wstring& command);
