#include "support/mediainfo_json.h"

#include <cstdlib>

namespace {

constexpr int kMaxDepth = 64;  // nesting beyond this is no MediaInfo output

class CJsonReader {
 public:
  explicit CJsonReader(const std::string& text) : text_(text) {}

  bool ReadDocument(CJsonValue& out) {
    if (!ReadValue(out, 0)) return false;
    SkipSpace();
    return pos_ == text_.size();
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }

  bool Take(char c) {
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool TakeWord(const char* word) {
    size_t length = std::char_traits<char>::length(word);
    if (text_.compare(pos_, length, word) != 0) return false;
    pos_ += length;
    return true;
  }

  bool ReadValue(CJsonValue& out, int depth) {
    if (depth > kMaxDepth) return false;
    SkipSpace();
    if (pos_ >= text_.size()) return false;
    char c = text_[pos_];
    if (c == '{') return ReadObject(out, depth);
    if (c == '[') return ReadArray(out, depth);
    if (c == '"') {
      out.kind = CJsonValue::JSON_STRING;
      return ReadString(out.text);
    }
    if (c == '-' || (c >= '0' && c <= '9')) return ReadNumber(out);
    if (TakeWord("true") || TakeWord("false")) {
      out.kind = CJsonValue::JSON_BOOL;
      out.boolean = c == 't';
      return true;
    }
    if (TakeWord("null")) {
      out.kind = CJsonValue::JSON_NULL;
      return true;
    }
    return false;
  }

  bool ReadObject(CJsonValue& out, int depth) {
    out.kind = CJsonValue::JSON_OBJECT;
    ++pos_;  // {
    if (Take('}')) return true;
    do {
      SkipSpace();
      std::string name;
      if (pos_ >= text_.size() || text_[pos_] != '"' || !ReadString(name) || !Take(':')) return false;
      CJsonValue value;
      if (!ReadValue(value, depth + 1)) return false;
      out.members.emplace_back(std::move(name), std::move(value));
    } while (Take(','));
    return Take('}');
  }

  bool ReadArray(CJsonValue& out, int depth) {
    out.kind = CJsonValue::JSON_ARRAY;
    ++pos_;  // [
    if (Take(']')) return true;
    do {
      CJsonValue value;
      if (!ReadValue(value, depth + 1)) return false;
      out.items.push_back(std::move(value));
    } while (Take(','));
    return Take(']');
  }

  bool ReadNumber(CJsonValue& out) {
    size_t start = pos_;
    if (text_[pos_] == '-') ++pos_;
    auto digits = [this] {
      size_t first = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      return pos_ > first;
    };
    if (!digits()) return false;
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      if (!digits()) return false;
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (!digits()) return false;
    }
    out.kind = CJsonValue::JSON_NUMBER;
    out.number = std::strtod(text_.substr(start, pos_ - start).c_str(), nullptr);
    return true;
  }

  bool ReadHex4(unsigned& code) {
    if (pos_ + 4 > text_.size()) return false;
    code = 0;
    for (int i = 0; i < 4; ++i) {
      char c = text_[pos_++];
      code <<= 4;
      if (c >= '0' && c <= '9')
        code |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f')
        code |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        code |= static_cast<unsigned>(c - 'A' + 10);
      else
        return false;
    }
    return true;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool ReadString(std::string& out) {
    ++pos_;  // opening quote
    while (pos_ < text_.size()) {
      char c = text_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;  // raw control characters are not allowed
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return false;
      char escape = text_[pos_++];
      switch (escape) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned code = 0;
          if (!ReadHex4(code)) return false;
          if (code >= 0xD800 && code < 0xDC00) {
            unsigned low = 0;
            if (!TakeWord("\\u") || !ReadHex4(low) || low < 0xDC00 || low >= 0xE000) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code < 0xE000) {
            return false;
          }
          AppendUtf8(out, code);
          break;
        }
        default:
          return false;
      }
    }
    return false;  // unterminated
  }

  const std::string& text_;
  size_t pos_ = 0;
};

}  // namespace

const CJsonValue* CJsonValue::Find(const std::string& name) const {
  if (kind != JSON_OBJECT) return nullptr;
  for (const auto& member : members)
    if (member.first == name) return &member.second;
  return nullptr;
}

bool ParseJson(const std::string& text, CJsonValue& out) {
  CJsonValue value;
  if (!CJsonReader(text).ReadDocument(value)) return false;
  out = std::move(value);
  return true;
}

std::string MediaInfoTrack::Field(const std::string& name) const {
  auto found = fields.find(name);
  return found == fields.end() ? std::string() : found->second;
}

double MediaInfoTrack::Number(const std::string& name) const {
  std::string value = Field(name);
  if (value.empty()) return 0.0;
  char* end = nullptr;
  double number = std::strtod(value.c_str(), &end);
  return end == value.c_str() + value.size() ? number : 0.0;
}

bool ReadMediaInfoTracks(const std::string& json, std::vector<MediaInfoTrack>& tracks) {
  CJsonValue root;
  if (!ParseJson(json, root)) return false;
  const CJsonValue* media = root.Find("media");
  const CJsonValue* list = media ? media->Find("track") : nullptr;
  if (!list) return false;
  // A file with one track may come as the object itself rather than an array of one.
  std::vector<const CJsonValue*> entries;
  if (list->kind == CJsonValue::JSON_ARRAY) {
    for (const CJsonValue& item : list->items) entries.push_back(&item);
  } else {
    entries.push_back(list);
  }
  std::vector<MediaInfoTrack> found;
  for (const CJsonValue* entry : entries) {
    if (entry->kind != CJsonValue::JSON_OBJECT) return false;
    MediaInfoTrack track;
    for (const auto& member : entry->members) {
      if (member.second.kind == CJsonValue::JSON_STRING) track.fields[member.first] = member.second.text;
    }
    track.type = track.Field("@type");
    found.push_back(std::move(track));
  }
  tracks = std::move(found);
  return true;
}
