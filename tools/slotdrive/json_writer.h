// A small JSON writer for the tool's reports. Text given to it is ANSI (cp932), as the
// registry and the finder hold it; the output is UTF-8.
#pragma once
#include <string>
#include <vector>

namespace slotdrive {

class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray(const char* key);
  void EndArray();
  // Inside an object: a member; inside an array key is ignored and may be null.
  void String(const char* key, const std::string& ansiText);
  void Number(const char* key, long long value);
  void Bool(const char* key, bool value);
  void StringArray(const char* key, const std::vector<std::string>& ansiTexts);

  // The document, ending in a newline.
  std::string Text() const { return m_text + "\n"; }

 private:
  void BeginItem(const char* key);
  void Open(const char* key, char bracket, bool isArray);
  void Close(char bracket);
  void Indent();

  std::string m_text;
  // One entry per open object or array: whether it already holds an item.
  std::vector<bool> m_hasItems;
  std::vector<bool> m_isArray;
};

// cp932 text as UTF-8. A byte sequence that is not cp932 becomes U+FFFD per character, so
// that the output stays valid UTF-8 whatever the registry held.
std::string AnsiToUtf8(const std::string& ansiText);

}  // namespace slotdrive
