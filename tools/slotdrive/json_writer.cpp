#include "tools/slotdrive/json_writer.h"

#include <cstdio>

#include "platform/text/codepage.h"
#include "platform/text/mbcs_text.h"

namespace slotdrive {
namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

void AppendEscaped(std::string& out, const std::string& utf8) {
  out.push_back('"');
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", c);
          out += escape;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  out.push_back('"');
}

}  // namespace

std::string AnsiToUtf8(const std::string& ansiText) {
  std::string utf8;
  if (platform::Cp932ToUtf8(ansiText, utf8)) return utf8;
  // Character by character: what converts is kept, the rest is marked.
  utf8.clear();
  for (size_t i = 0; i < ansiText.size();) {
    size_t length =
        IsCp932LeadByte(static_cast<unsigned char>(ansiText[i])) && i + 1 < ansiText.size() ? 2 : 1;
    std::string piece;
    if (platform::Cp932ToUtf8(ansiText.substr(i, length), piece) && !piece.empty())
      utf8 += piece;
    else
      utf8 += kReplacement;
    i += length;
  }
  return utf8;
}

void JsonWriter::Indent() {
  m_text.push_back('\n');
  m_text.append(2 * m_hasItems.size(), ' ');
}

void JsonWriter::BeginItem(const char* key) {
  if (m_hasItems.empty()) return;  // the document itself
  if (m_hasItems.back()) m_text.push_back(',');
  m_hasItems.back() = true;
  Indent();
  if (!m_isArray.back() && key != nullptr) {
    AppendEscaped(m_text, key);
    m_text += ": ";
  }
}

void JsonWriter::Open(const char* key, char bracket, bool isArray) {
  BeginItem(key);
  m_text.push_back(bracket);
  m_hasItems.push_back(false);
  m_isArray.push_back(isArray);
}

void JsonWriter::Close(char bracket) {
  bool hadItems = m_hasItems.back();
  m_hasItems.pop_back();
  m_isArray.pop_back();
  if (hadItems) Indent();
  m_text.push_back(bracket);
}

void JsonWriter::BeginObject() { Open(nullptr, '{', false); }
void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::BeginArray(const char* key) { Open(key, '[', true); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::String(const char* key, const std::string& ansiText) {
  BeginItem(key);
  AppendEscaped(m_text, AnsiToUtf8(ansiText));
}

void JsonWriter::Number(const char* key, long long value) {
  BeginItem(key);
  m_text += std::to_string(value);
}

void JsonWriter::Bool(const char* key, bool value) {
  BeginItem(key);
  m_text += value ? "true" : "false";
}

void JsonWriter::StringArray(const char* key, const std::vector<std::string>& ansiTexts) {
  BeginArray(key);
  for (const std::string& text : ansiTexts) String(nullptr, text);
  EndArray();
}

}  // namespace slotdrive
