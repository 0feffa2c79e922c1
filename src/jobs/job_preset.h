#pragma once
// A preset as text: the kept options (jobs/kept_options.h) of a JobSettings, one "name=value"
// line each under a first line that names the format and its version:
//   kestrune preset 1
//   opt_output_codec=1
//   opt_output_folder="D:\Videos"
// A number stands as it is; a text between quotes, with "%", line breaks and other control
// characters written as %XX. Reading is tolerant: a line it cannot take is named and passed
// over, and the others still apply; a name a later version added is passed over unnamed.
#include <string>
#include <vector>

#include "jobs/job_settings.h"

constexpr int kPresetFormatVersion = 1;

// Every kept option of settings whose value the reader takes back.
std::wstring PresetText(const JobSettings& settings);

// Applies each sound line of text to settings, over what settings holds; every line it passes
// over is named in damaged (the option's name, or the line itself, cut short). False, with
// settings untouched, when text is no preset at all (its first line is not the format's).
bool ApplyPresetText(const std::wstring& text, JobSettings& settings, std::vector<std::wstring>& damaged);
