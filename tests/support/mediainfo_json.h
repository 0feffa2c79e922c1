#pragma once
// A small JSON reader, enough for MediaInfo's "--Output=JSON": objects, arrays, strings (UTF-8,
// escapes included), numbers, true, false and null. Tests read the probe's JSON to check what
// the text-report parser made of the same file.
#include <map>
#include <memory>
#include <string>
#include <vector>

class CJsonValue {
 public:
  enum Kind { JSON_NULL, JSON_BOOL, JSON_NUMBER, JSON_STRING, JSON_ARRAY, JSON_OBJECT };

  Kind kind = JSON_NULL;
  bool boolean = false;
  double number = 0.0;
  std::string text;                                         // a string's UTF-8 content
  std::vector<CJsonValue> items;                            // an array's elements
  std::vector<std::pair<std::string, CJsonValue>> members;  // an object's members, in order

  // The member of that name, or nullptr (also when this is no object).
  const CJsonValue* Find(const std::string& name) const;
};

// False (out untouched) when text is not one complete JSON value.
bool ParseJson(const std::string& text, CJsonValue& out);

// One entry of MediaInfo's media.track array: its "@type" and its string fields (nested
// objects such as "extra" are left out).
struct MediaInfoTrack {
  std::string type;  // "General", "Video", "Audio", "Text", "Image", "Menu"
  std::map<std::string, std::string> fields;

  std::string Field(const std::string& name) const;  // "" when absent
  double Number(const std::string& name) const;      // 0.0 when absent or not a number
};

// The tracks of a MediaInfo JSON report, in order; false when it is not one.
bool ReadMediaInfoTracks(const std::string& json, std::vector<MediaInfoTrack>& tracks);
