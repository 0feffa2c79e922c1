#pragma once
// The job options kept between runs, by the names they are stored under: every option of the
// window but the files, the range and the audio tracks. The window's remembered options and
// every saved preset use these names and these checks, so a value one of them takes is a value
// the other takes too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "jobs/job_settings.h"

enum KeptKind : int32_t {
  KEPT_FLAG = 0,    // 0 or 1
  KEPT_NUMBER = 1,  // a 32-bit number within the option's range
  KEPT_TEXT = 2,
};

struct CKeptOption {
  const wchar_t* name;
  KeptKind kind;
};

// A stored value: the number of a flag or a number, or the text of a text.
struct CKeptValue {
  uint32_t number = 0;
  std::wstring text;
};

size_t KeptOptionCount();
const CKeptOption& KeptOption(size_t index);
// The index of name, without regard to ASCII case as the store matches names; -1 for a name
// that is no kept option.
int FindKeptOption(const std::wstring& name);

// The value of option index in settings; false when it is none the option takes back (a number
// out of its range), which is then best not kept at all.
bool KeptValueOf(const JobSettings& settings, size_t index, CKeptValue& value);
// Sets option index of settings to value; false, with settings untouched, when the option
// cannot take it (a flag other than 0 or 1, a number out of range).
bool TakeKeptValue(size_t index, const CKeptValue& value, JobSettings& settings);
