#include "platform/reg_files/reg_file.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "platform/owners/scoped_reg_key.h"
#include "platform/reg_files/file_bytes.h"
#include "platform/reg_files/registry_tree.h"
#include "platform/text/codepage.h"
#include "platform/text/mbcs_text.h"
#include "platform/text/registry_names.h"
#include "platform/text/utf8.h"

namespace platform {
namespace {

// Bounds that keep hostile input from exhausting memory; real exports are far smaller.
constexpr size_t kMaxFileBytes = 64u << 20;
constexpr size_t kMaxLogicalLineBytes = 4u << 20;

const char kHeader4[] = "REGEDIT4";
const char kHeader5[] = "Windows Registry Editor Version 5.00";

struct RootName {
  const char* full;
  const char* shortName;
  RegKey root;
};
const RootName kRootNames[] = {
    {"HKEY_LOCAL_MACHINE", "HKLM", kHkeyLocalMachine},
    {"HKEY_CURRENT_USER", "HKCU", kHkeyCurrentUser},
    {"HKEY_CLASSES_ROOT", "HKCR", kHkeyClassesRoot},
    {"HKEY_USERS", "HKU", kHkeyUsers},
    {"HKEY_DYN_DATA", "HKDD", kHkeyDynData},
};

struct Line {
  int number = 0;
  std::string text;
};

// A refusal: where and why. Thrown inside the parser only, caught at its entry point.
struct ParseError {
  int line;
  std::string reason;
};

[[noreturn]] void Fail(int line, std::string reason) { throw ParseError{line, std::move(reason)}; }

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return static_cast<unsigned>(c - 'A' + 10);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t SkipBlanks(const std::string& s, size_t i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i;
}

// Only blanks or a comment may follow.
bool RestIsEmpty(const std::string& s, size_t i) {
  i = SkipBlanks(s, i);
  return i == s.size() || s[i] == ';';
}

// Splits text into physical lines at CR LF, LF or CR, numbering them from 1. The next CR and
// the next LF are each searched for once and kept until passed, so that a file with only one
// kind of line end is not scanned to its end for the other at every line.
template <typename String>
std::vector<std::pair<int, String>> SplitLines(const String& text) {
  using Unit = typename String::value_type;
  std::vector<std::pair<int, String>> lines;
  int number = 1;
  size_t nextCr = text.find(Unit('\r'));
  size_t nextLf = text.find(Unit('\n'));
  for (size_t start = 0; start < text.size();) {
    if (nextCr < start) nextCr = text.find(Unit('\r'), start);
    if (nextLf < start) nextLf = text.find(Unit('\n'), start);
    const size_t end = std::min({nextCr, nextLf, text.size()});
    lines.emplace_back(number++, text.substr(start, end - start));
    start = end + 1;
    if (end == nextCr && nextLf == start) ++start;  // CR LF ends one line
  }
  return lines;
}

std::string TrimRight(std::string s) {
  while (!s.empty() && (IsBlank(s.back()))) s.pop_back();
  return s;
}

// The file as lines of text, and what the text and the hex strings are encoded in.
struct DecodedFile {
  std::vector<Line> lines;
  bool utf8 = false;      // text is UTF-8 (else cp932 bytes)
  bool version5 = false;  // hex string data is UTF-16LE
};

DecodedFile Decode(const std::string& bytes) {
  DecodedFile file;
  if (bytes.size() > kMaxFileBytes) Fail(1, "file too large");
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    auto lines = SplitLines(units);
    if (bytes.size() % 2 != 0) Fail(lines.empty() ? 1 : lines.back().first, "odd number of bytes in a UTF-16 file");
    for (auto& line : lines) {
      Line decoded;
      decoded.number = line.first;
      if (!Utf16ToUtf8(line.second, decoded.text)) Fail(line.first, "invalid UTF-16 text");
      file.lines.push_back(std::move(decoded));
    }
    file.utf8 = true;
  } else {
    size_t start = 0;
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
      start = 3;
      file.utf8 = true;
    }
    for (auto& line : SplitLines(bytes.substr(start)))
      file.lines.push_back(Line{line.first, std::move(line.second)});
  }
  for (const Line& line : file.lines)
    if (line.text.find('\0') != std::string::npos) Fail(line.number, "NUL character in text");

  std::string header = file.lines.empty() ? std::string() : TrimRight(file.lines[0].text);
  if (header == kHeader5) {
    file.version5 = true;
    file.utf8 = true;  // without a byte-order mark, version 5.00 text is taken as UTF-8
  } else if (header != kHeader4) {
    Fail(1, "not a registry file: the first line must be \"REGEDIT4\" or \"" +
                std::string(kHeader5) + "\"");
  }
  return file;
}

// Whether text is all ASCII, so that no byte of it can start a double-byte character. The bytes
// are or-ed together rather than tested one by one: most paths are ASCII, and this pass is cheap.
bool IsAscii(const std::string& text) {
  unsigned char any = 0;
  for (char c : text) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

class Parser {
 public:
  Parser(const DecodedFile& file, std::vector<RegFileOperation>& out) : m_file(file), m_out(out) {}

  void Run() {
    for (m_index = 1; m_index < m_file.lines.size(); ++m_index) {
      const Line& line = m_file.lines[m_index];
      size_t i = SkipBlanks(line.text, 0);
      if (i == line.text.size() || line.text[i] == ';') continue;
      char c = line.text[i];
      if (c == '[') {
        ParseKeyLine(line, i);
      } else if (c == '@' || c == '"') {
        ParseValueLine(line, i);
      } else {
        Fail(line.number, "unexpected text; expected [key], \"name\"= or @=");
      }
    }
  }

 private:
  std::string ToAnsi(const std::string& text, int line) const {
    if (!m_file.utf8) return text;
    std::string ansi;
    if (!Utf8ToCp932(text, ansi)) Fail(line, "text not representable in code page 932");
    return ansi;
  }

  void ParseKeyLine(const Line& line, size_t open) {
    // Key names may hold ']' themselves, so the last one closes the line, as regedit reads it.
    size_t close = line.text.rfind(']');
    if (close == std::string::npos || close < open) Fail(line.number, "missing ']'");
    if (!RestIsEmpty(line.text, close + 1)) Fail(line.number, "text after ']'");
    std::string inner = line.text.substr(open + 1, close - open - 1);
    bool remove = !inner.empty() && inner[0] == '-';
    if (remove) inner.erase(0, 1);

    size_t slash = inner.find('\\');
    std::string rootName = inner.substr(0, slash);
    RegFileOperation op;
    if (!ParseRegRootName(rootName, op.root))
      Fail(line.number, "unknown root key \"" + rootName + "\"");
    std::string path = slash == std::string::npos ? std::string() : inner.substr(slash + 1);
    op.path = CheckedKeyPath(ToAnsi(path, line.number), line.number);
    op.line = line.number;
    if (remove) {
      if (op.path.empty()) Fail(line.number, "a root key cannot be deleted");
      op.kind = RegFileOperation::Kind::kDeleteTree;
      m_haveKey = false;
    } else {
      op.kind = RegFileOperation::Kind::kCreateKey;
      m_haveKey = true;
      m_keyRoot = op.root;
      m_keyPath = op.path;
    }
    m_out.push_back(std::move(op));
  }

  // The path without its trailing backslashes ("[HKCU\A\]" names A), refused unless it is
  // well-formed cp932 with no empty component. One walk does it all, since an export's key
  // lines each carry the whole path. The path is ANSI here; a trail byte 0x5C is part of its
  // character, not a separator.
  static std::string CheckedKeyPath(const std::string& path, int line) {
    if (IsAscii(path)) {
      const size_t end = path.find_last_not_of('\\') + 1;  // 0 when all are separators
      if (end > 0 && (path[0] == '\\' || path.find("\\\\") < end))
        Fail(line, "empty key name in path");
      return path.substr(0, end);
    }
    size_t end = 0;                          // past the last character that is not a separator
    size_t secondOfPair = std::string::npos; // the first separator that follows another
    bool wellFormed = true;
    bool afterSeparator = false;
    for (size_t i = 0; i < path.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(path[i]);
      if (IsCp932LeadByte(c)) {
        if (i + 1 == path.size() || !IsCp932TrailByte(static_cast<unsigned char>(path[i + 1])))
          wellFormed = false;
        if (i + 1 < path.size()) ++i;
        end = i + 1;
        afterSeparator = false;
      } else if (c == '\\') {
        if (afterSeparator && secondOfPair == std::string::npos) secondOfPair = i;
        afterSeparator = true;
      } else {
        end = i + 1;
        afterSeparator = false;
      }
    }
    if (!wellFormed) Fail(line, "invalid cp932 text");
    if (end > 0 && (path[0] == '\\' || secondOfPair < end)) Fail(line, "empty key name in path");
    return path.substr(0, end);
  }

  // Reads a quoted string starting after its opening quote; returns the index after the
  // closing quote. Escapes: \\ and \" (both formats), \n and \r (as regedit writes them).
  size_t ReadQuoted(const Line& line, size_t i, std::string& out) const {
    const std::string& s = line.text;
    out.clear();
    while (i < s.size()) {
      unsigned char c = static_cast<unsigned char>(s[i]);
      if (!m_file.utf8 && IsCp932LeadByte(c)) {
        // A trail byte may be '\\' (0x5C); it is part of the character, not an escape.
        if (i + 1 >= s.size() || !IsCp932TrailByte(static_cast<unsigned char>(s[i + 1])))
          Fail(line.number, "invalid cp932 text");
        out.push_back(s[i]);
        out.push_back(s[i + 1]);
        i += 2;
        continue;
      }
      if (c == '"') return i + 1;
      if (c == '\\') {
        if (i + 1 >= s.size()) break;
        char e = s[i + 1];
        if (e == '\\' || e == '"') {
          out.push_back(e);
        } else if (e == 'n') {
          out.push_back('\n');
        } else if (e == 'r') {
          out.push_back('\r');
        } else {
          Fail(line.number, std::string("unknown escape \\") + e);
        }
        i += 2;
        continue;
      }
      out.push_back(s[i]);
      ++i;
    }
    Fail(line.number, "missing closing quote");
  }

  void ParseValueLine(const Line& line, size_t i) {
    if (!m_haveKey) Fail(line.number, "value outside a key");
    const std::string& s = line.text;
    RegFileOperation op;
    op.line = line.number;
    op.root = m_keyRoot;
    op.path = m_keyPath;
    if (s[i] == '@') {
      ++i;
    } else {
      std::string name;
      i = ReadQuoted(line, i + 1, name);
      op.valueName = ToAnsi(name, line.number);
    }
    i = SkipBlanks(s, i);
    if (i >= s.size() || s[i] != '=') Fail(line.number, "missing '=' after the value name");
    i = SkipBlanks(s, i + 1);
    if (i < s.size() && s[i] == '-') {
      if (!RestIsEmpty(s, i + 1)) Fail(line.number, "text after '-'");
      op.kind = RegFileOperation::Kind::kDeleteValue;
    } else if (i < s.size() && s[i] == '"') {
      std::string text;
      i = ReadQuoted(line, i + 1, text);
      if (!RestIsEmpty(s, i)) Fail(line.number, "text after the closing quote");
      std::string ansi = ToAnsi(text, line.number);
      op.kind = RegFileOperation::Kind::kSetValue;
      op.type = kRegSz;
      op.data.assign(ansi.begin(), ansi.end());
      op.data.push_back(0);
    } else if (s.compare(i, 6, "dword:") == 0) {
      op.kind = RegFileOperation::Kind::kSetValue;
      op.type = kRegDword;
      op.data = ParseDword(line, i + 6);
    } else if (s.compare(i, 4, "hex:") == 0) {
      op.kind = RegFileOperation::Kind::kSetValue;
      op.type = kRegBinary;
      op.data = ParseHexBytes(i + 4);
    } else if (s.compare(i, 4, "hex(") == 0) {
      size_t j = i + 4;
      uint32_t type = 0;
      size_t digits = 0;
      while (j < s.size() && IsHexDigit(s[j]) && digits < 9) {
        type = type * 16 + HexValue(s[j++]);
        ++digits;
      }
      if (digits == 0 || digits > 8 || s.compare(j, 2, "):") != 0)
        Fail(line.number, "bad hex(type): prefix");
      op.kind = RegFileOperation::Kind::kSetValue;
      op.type = type;
      op.data = ParseHexBytes(j + 2);
      if (m_file.version5 && (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz))
        op.data = Utf16BytesToAnsi(op.data, line.number);
    } else {
      Fail(line.number, "unknown value type");
    }
    m_out.push_back(std::move(op));
  }

  std::vector<uint8_t> ParseDword(const Line& line, size_t i) const {
    const std::string& s = line.text;
    i = SkipBlanks(s, i);
    uint32_t value = 0;
    size_t digits = 0;
    while (i < s.size() && IsHexDigit(s[i])) {
      if (++digits > 8) Fail(line.number, "dword with more than 8 hex digits");
      value = value * 16 + HexValue(s[i++]);
    }
    if (digits == 0 || !RestIsEmpty(s, i)) Fail(line.number, "bad dword value");
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  }

  // Comma-separated hex bytes from position i of the current line; a backslash at the end
  // of a line continues the list on the next one (blank and comment lines in between are
  // passed over, as regedit does).
  std::vector<uint8_t> ParseHexBytes(size_t i) {
    std::vector<uint8_t> data;
    size_t logicalBytes = 0;
    for (;;) {
      const Line& line = m_file.lines[m_index];
      const std::string& s = line.text;
      logicalBytes += s.size();
      if (logicalBytes > kMaxLogicalLineBytes) Fail(line.number, "value data too long");
      bool more = false;
      for (;;) {
        i = SkipBlanks(s, i);
        if (i == s.size() || s[i] == ';') break;
        if (s[i] == '\\') {
          if (!RestIsEmpty(s, i + 1)) Fail(line.number, "text after the continuation '\\'");
          more = true;
          break;
        }
        size_t digits = 0;
        unsigned byte = 0;
        while (i < s.size() && IsHexDigit(s[i])) {
          if (++digits > 2) Fail(line.number, "hex byte with more than 2 digits");
          byte = byte * 16 + HexValue(s[i++]);
        }
        if (digits == 0) Fail(line.number, "bad hex data");
        data.push_back(static_cast<uint8_t>(byte));
        i = SkipBlanks(s, i);
        if (i < s.size() && s[i] == ',') ++i;
        else if (i < s.size() && s[i] != '\\' && s[i] != ';') Fail(line.number, "bad hex data");
      }
      if (!more) return data;
      // Continue on the next line that is not blank or a comment.
      do {
        if (m_index + 1 >= m_file.lines.size()) return data;
        ++m_index;
        i = SkipBlanks(m_file.lines[m_index].text, 0);
      } while (RestIsEmpty(m_file.lines[m_index].text, i));
    }
  }

  std::vector<uint8_t> Utf16BytesToAnsi(const std::vector<uint8_t>& bytes, int line) const {
    if (bytes.size() % 2 != 0) Fail(line, "UTF-16 string data of odd length");
    std::u16string units;
    for (size_t i = 0; i < bytes.size(); i += 2)
      units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    std::string ansi;
    if (!Utf16ToCp932(units, ansi)) Fail(line, "text not representable in code page 932");
    return std::vector<uint8_t>(ansi.begin(), ansi.end());
  }

  const DecodedFile& m_file;
  std::vector<RegFileOperation>& m_out;
  size_t m_index = 0;
  bool m_haveKey = false;  // values need a key line before them
  RegKey m_keyRoot = 0;
  std::string m_keyPath;
};

std::string Where(const std::string& fileName, int line) {
  return fileName + ":" + std::to_string(line) + ": ";
}

std::string KeyName(RegKey root, const std::string& path) {
  const char* rootName = RegRootName(root);
  std::string name = rootName != nullptr ? rootName : "?";
  return path.empty() ? name : name + "\\" + path;
}

}  // namespace

const char* RegRootName(RegKey root) {
  for (const RootName& r : kRootNames)
    if (r.root == root) return r.full;
  return nullptr;
}

bool ParseRegRootName(const std::string& name, RegKey& root) {
  std::string upper = FoldRegistryName(name, true);
  for (const RootName& r : kRootNames) {
    if (upper == r.full || upper == r.shortName) {
      root = r.root;
      return true;
    }
  }
  return false;
}

bool ParseRegFile(const std::string& bytes, const std::string& fileName,
                  std::vector<RegFileOperation>& operations, std::string& error) {
  operations.clear();
  std::vector<RegFileOperation> parsed;
  try {
    DecodedFile file = Decode(bytes);
    Parser(file, parsed).Run();
  } catch (const ParseError& e) {
    error = Where(fileName, e.line) + e.reason;
    return false;
  } catch (const std::bad_alloc&) {
    error = Where(fileName, 1) + "out of memory";
    return false;
  }
  operations = std::move(parsed);
  return true;
}

namespace {
// Whether the key of line `below` lies under that of line `key`. Both paths are well-formed
// cp932, so a backslash just past the shorter one starts a character: a separator.
bool IsBelow(const RegFileOperation& key, const RegFileOperation& below) {
  return key.root == below.root && !key.path.empty() &&
         below.path.size() > key.path.size() + 1 &&
         below.path.compare(0, key.path.size(), key.path) == 0 &&
         below.path[key.path.size()] == '\\';
}
}  // namespace

bool ApplyRegFile(IRegistry& registry, const std::vector<RegFileOperation>& operations,
                  const std::string& fileName, std::string& error) {
  ScopedRegKey current(registry);
  const RegFileOperation* currentLine = nullptr;  // the key line whose key `current` holds
  for (const RegFileOperation& op : operations) {
    long rc = kErrorSuccess;
    const char* what = "";
    switch (op.kind) {
      case RegFileOperation::Kind::kCreateKey:
        // A key below the one open is created from it: an export names every key by its
        // whole path, and walking each from its root again costs as much as the text itself.
        if (current.IsOpen() && currentLine != nullptr && IsBelow(*currentLine, op)) {
          ScopedRegKey child(registry);
          rc = child.Create(current.Get(), op.path.c_str() + currentLine->path.size() + 1,
                            kKeyAllAccess);
          current = std::move(child);
        } else {
          rc = current.Create(op.root, op.path.c_str(), kKeyAllAccess);
        }
        currentLine = &op;
        what = "cannot create key ";
        break;
      case RegFileOperation::Kind::kDeleteTree:
        current.Close();
        currentLine = nullptr;
        rc = DeleteRegistryTree(registry, op.root, op.path.c_str());
        if (rc == kErrorFileNotFound) rc = kErrorSuccess;
        what = "cannot delete key ";
        break;
      case RegFileOperation::Kind::kSetValue: {
        // The ANSI call counts a forgotten string terminator when the byte after the data is
        // NUL; a non-NUL guard byte after the data keeps the value exactly as the file has it.
        std::vector<uint8_t> buffer(op.data);
        buffer.push_back(0xFF);
        rc = registry.SetValue(current.Get(), op.valueName.c_str(), op.type, buffer.data(),
                               static_cast<uint32_t>(op.data.size()));
        what = "cannot set a value in ";
        break;
      }
      case RegFileOperation::Kind::kDeleteValue:
        rc = registry.DeleteValue(current.Get(), op.valueName.c_str());
        if (rc == kErrorFileNotFound) rc = kErrorSuccess;
        what = "cannot delete a value in ";
        break;
    }
    if (rc != kErrorSuccess) {
      error = Where(fileName, op.line) + what + KeyName(op.root, op.path) + " (error " +
              std::to_string(rc) + ")";
      return false;
    }
  }
  return true;
}

bool ImportRegText(IRegistry& registry, const std::string& bytes, const std::string& fileName,
                   std::string& error) {
  std::vector<RegFileOperation> operations;
  return ParseRegFile(bytes, fileName, operations, error) &&
         ApplyRegFile(registry, operations, fileName, error);
}

bool ImportRegFile(IRegistry& registry, const std::string& path, std::string& error) {
  std::string bytes;
  switch (ReadFileBytes(path, kMaxFileBytes, bytes)) {
    case FileReadResult::kOk:
      return ImportRegText(registry, bytes, path, error);
    case FileReadResult::kTooLarge:
      error = Where(path, 1) + "file too large";
      return false;
    case FileReadResult::kCannotOpen:
      error = path + ": cannot open the file";
      return false;
    case FileReadResult::kReadError:
      break;
  }
  error = path + ": cannot read the file";
  return false;
}

}  // namespace platform
