// Writing registry trees as REGEDIT4 text.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/owners/scoped_reg_key.h"
#include "platform/reg_files/reg_file.h"
#include "platform/text/mbcs_text.h"
#include "platform/text/registry_names.h"

namespace platform {
namespace {

// Value names may be up to 16383 characters; key names are far shorter.
constexpr uint32_t kMaxValueNameChars = 16384;
constexpr uint32_t kMaxKeyNameChars = 1024;
// regedit starts a new line once a hex line passes this column.
constexpr size_t kHexWrapColumn = 76;

// Whether text can be written between quotes and read back byte for byte: no NUL, and every
// lead byte followed by a trail byte (a lone lead byte would take the next byte with it).
bool IsQuotable(const char* text, size_t length) {
  return std::memchr(text, 0, length) == nullptr && IsWellFormedCp932(std::string_view(text, length));
}

void AppendQuoted(const char* text, size_t length, std::string& out) {
  out.push_back('"');
  for (size_t i = 0; i < length; ++i) {
    char c = text[i];
    if (IsCp932LeadByte(static_cast<unsigned char>(c))) {
      out.push_back(c);
      out.push_back(text[++i]);  // a trail byte 0x5C is not a backslash to escape
    } else if (c == '\\' || c == '"') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

void AppendHex(const std::vector<uint8_t>& data, size_t lineStart, std::string& out) {
  char byte[4];
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    out += byte;
    if (i + 1 == data.size()) break;
    out.push_back(',');
    if (out.size() - lineStart > kHexWrapColumn) {
      out += "\\\r\n  ";
      lineStart = out.size() - 2;
    }
  }
}

void AppendValue(const std::string& name, uint32_t type, const std::vector<uint8_t>& data,
                 std::string& out) {
  size_t lineStart = out.size();
  if (name.empty()) {
    out.push_back('@');
  } else {
    AppendQuoted(name.data(), name.size(), out);
  }
  out.push_back('=');
  const char* text = reinterpret_cast<const char*>(data.data());
  if (type == kRegSz && !data.empty() && data.back() == 0 && IsQuotable(text, data.size() - 1)) {
    AppendQuoted(text, data.size() - 1, out);
  } else if (type == kRegDword && data.size() == 4) {
    char dword[16];
    std::snprintf(dword, sizeof dword, "dword:%08x",
                  static_cast<unsigned>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                        (static_cast<uint32_t>(data[3]) << 24)));
    out += dword;
  } else {
    char prefix[24];
    if (type == kRegBinary) {
      std::snprintf(prefix, sizeof prefix, "hex:");
    } else {
      std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
    }
    out += prefix;
    AppendHex(data, lineStart, out);
  }
  out += "\r\n";
}

std::string Failure(const std::string& keyName, const char* what, long rc) {
  return keyName + ": " + what + " (error " + std::to_string(rc) + ")";
}

bool ExportKey(IRegistry& registry, RegKey key, const std::string& keyName, std::string& out,
               std::string& error) {
  out += "\r\n[" + keyName + "]\r\n";
  std::vector<char> name(kMaxValueNameChars + 1);
  for (uint32_t index = 0;; ++index) {
    uint32_t nameChars = kMaxValueNameChars + 1;
    uint32_t type = 0;
    uint32_t size = 0;
    long rc = registry.EnumValue(key, index, name.data(), &nameChars, &type, nullptr, &size);
    if (rc == kErrorNoMoreItems) break;
    if (rc != kErrorSuccess) {
      error = Failure(keyName, "cannot enumerate values", rc);
      return false;
    }
    std::vector<uint8_t> data(size);
    nameChars = kMaxValueNameChars + 1;
    rc = registry.EnumValue(key, index, name.data(), &nameChars, &type, data.data(), &size);
    if (rc != kErrorSuccess) {
      error = Failure(keyName, "cannot read a value", rc);
      return false;
    }
    data.resize(size);
    if (!IsQuotable(name.data(), nameChars)) {
      error = keyName + ": value name cannot be written as text";
      return false;
    }
    AppendValue(std::string(name.data(), nameChars), type, data, out);
  }

  std::vector<std::string> subkeys;
  for (uint32_t index = 0;; ++index) {
    char subkey[kMaxKeyNameChars];
    uint32_t nameChars = kMaxKeyNameChars;
    long rc = registry.EnumKey(key, index, subkey, &nameChars);
    if (rc == kErrorNoMoreItems) break;
    if (rc != kErrorSuccess) {
      error = Failure(keyName, "cannot enumerate subkeys", rc);
      return false;
    }
    if (!IsQuotable(subkey, nameChars)) {
      error = keyName + ": subkey name cannot be written as text";
      return false;
    }
    subkeys.emplace_back(subkey, nameChars);
  }
  for (const std::string& subkey : subkeys) {
    ScopedRegKey child(registry);
    std::string childName = keyName + "\\" + subkey;
    long rc = child.Open(key, subkey.c_str(), kKeyRead);
    if (rc != kErrorSuccess) {
      error = Failure(childName, "cannot open", rc);
      return false;
    }
    if (!ExportKey(registry, child.Get(), childName, out, error)) return false;
  }
  return true;
}

}  // namespace

bool ExportRegFile(IRegistry& registry, const std::vector<RegExportTree>& trees,
                   std::string& text, std::string& error) {
  std::string out = "REGEDIT4\r\n";
  for (const RegExportTree& tree : trees) {
    const char* rootName = RegRootName(tree.root);
    if (rootName == nullptr) {
      error = "unknown root key";
      return false;
    }
    std::string keyName = tree.path.empty() ? rootName : std::string(rootName) + "\\" + tree.path;
    ScopedRegKey key(registry);
    long rc = key.Open(tree.root, tree.path.c_str(), kKeyRead);
    if (rc != kErrorSuccess) {
      error = Failure(keyName, "cannot open", rc);
      return false;
    }
    if (!ExportKey(registry, key.Get(), keyName, out, error)) return false;
  }
  out += "\r\n";
  text = std::move(out);
  return true;
}

}  // namespace platform
