#include "tools/slotdrive/registry_diff.h"

#include <cstdio>
#include <map>

#include "platform/reg_files/reg_file.h"
#include "platform/text/codepage.h"
#include "platform/text/mbcs_text.h"
#include "tools/slotdrive/console_text.h"

namespace slotdrive {
namespace {

using Value = platform::MemoryRegistry::ValueImage;

struct Key {
  std::string written;                  // the full name as the image spells it
  std::map<std::string, Value> values;  // by upper-case name
};
// By upper-case full name, so that the lines come out in a stable order.
using Tree = std::map<std::string, Key>;

Tree Flatten(const platform::MemoryRegistry& image, const RegistryDiffOptions& options) {
  Tree tree;
  for (const auto& root : image.SnapshotAll()) {
    const std::string rootName = platform::RegRootName(root.first);
    for (const platform::MemoryRegistry::KeyImage& key : root.second) {
      const std::string name = key.path.empty() ? rootName : rootName + "\\" + key.path;
      Key& entry = tree[MbcsUpper(name)];
      entry.written = name;
      for (const Value& value : key.values) {
        // An empty default string is what a key shows when nothing was ever set in it.
        if (options.valuesOnly && value.name.empty() && value.type == platform::kRegSz &&
            (value.data.empty() || value.data[0] == 0))
          continue;
        entry.values[MbcsUpper(value.name)] = value;
      }
    }
  }
  return tree;
}

bool InScope(const std::string& upperKey, const RegistryDiffOptions& options) {
  if (options.scopes.empty()) return true;
  for (const std::string& scope : options.scopes) {
    const std::string upperScope = MbcsUpper(scope);
    if (upperKey.compare(0, upperScope.size(), upperScope) == 0 &&
        (upperKey.size() == upperScope.size() || upperKey[upperScope.size()] == '\\'))
      return true;
  }
  return false;
}

bool AnyCase(const std::string& upperKey, const RegistryDiffOptions& options) {
  for (const std::string& name : options.anyCaseKeys) {
    const std::string suffix = "\\" + MbcsUpper(name);
    if (upperKey.size() >= suffix.size() &&
        upperKey.compare(upperKey.size() - suffix.size(), suffix.size(), suffix) == 0)
      return true;
  }
  return false;
}

// String data without the terminator(s) it was stored with.
std::string StoredText(const std::vector<uint8_t>& data) {
  std::string text(data.begin(), data.end());
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

// Binary data that is UTF-16 text of printable ASCII, as mount records written by the NT
// family are; "" when it is not.
std::string Utf16Text(const std::vector<uint8_t>& data) {
  if (data.size() < 4 || data.size() % 2 != 0) return std::string();
  std::string text;
  for (size_t i = 0; i < data.size(); i += 2) {
    if (data[i + 1] != 0 || data[i] < 0x20 || data[i] > 0x7E) return std::string();
    text.push_back(static_cast<char>(data[i]));
  }
  return text;
}

std::string Hex(const std::vector<uint8_t>& data) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t byte : data) {
    if (!text.empty()) text.push_back(',');
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 15]);
  }
  return text;
}

std::string Shown(const Value& value) {
  switch (value.type) {
    case platform::kRegSz:
      return "\"" + NativeText(StoredText(value.data)) + "\"";
    case platform::kRegExpandSz:
      return "expand \"" + NativeText(StoredText(value.data)) + "\"";
    case platform::kRegMultiSz: {
      std::string shown = "multi";
      const std::string text = StoredText(value.data);
      size_t start = 0;
      do {
        const size_t end = text.find('\0', start);
        shown += " \"" + NativeText(text.substr(start, end - start)) + "\"";
        start = end == std::string::npos ? end : end + 1;
      } while (start != std::string::npos);
      return shown;
    }
    case platform::kRegDword:
      if (value.data.size() == 4) {
        const uint32_t number = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                static_cast<uint32_t>(value.data[3]) << 24;
        char text[32];
        std::snprintf(text, sizeof text, "dword %08x (%u)", number, number);
        return text;
      }
      break;
    case platform::kRegBinary: {
      const std::string text = Utf16Text(value.data);
      if (!text.empty()) return "binary \"" + text + "\"";
      return "hex:" + Hex(value.data);
    }
    default:
      break;
  }
  return "hex(" + std::to_string(value.type) + "):" + Hex(value.data);
}

bool SameValue(const Value& before, const Value& after, bool anyCase) {
  if (before.type == after.type && before.data == after.data) return true;
  return anyCase && before.type == platform::kRegSz && after.type == platform::kRegSz &&
         MbcsUpper(StoredText(before.data)) == MbcsUpper(StoredText(after.data));
}

std::string ValueName(const Value& value) {
  return value.name.empty() ? "@" : "\"" + NativeText(value.name) + "\"";
}

}  // namespace

std::vector<std::string> DiffRegistries(const platform::MemoryRegistry& before,
                                        const platform::MemoryRegistry& after,
                                        const RegistryDiffOptions& options) {
  const Tree a = Flatten(before, options);
  const Tree b = Flatten(after, options);
  std::map<std::string, std::pair<const Key*, const Key*>> keys;
  for (const auto& key : a) keys[key.first].first = &key.second;
  for (const auto& key : b) keys[key.first].second = &key.second;

  static const Key kNoKey{};
  std::vector<std::string> lines;
  for (const auto& entry : keys) {
    if (!InScope(entry.first, options)) continue;
    const Key* was = entry.second.first;
    const Key* now = entry.second.second;
    // Without values a key is absent when only values count.
    if (options.valuesOnly) {
      if (was != nullptr && was->values.empty()) was = nullptr;
      if (now != nullptr && now->values.empty()) now = nullptr;
      if (was == nullptr && now == nullptr) continue;
    }
    const std::string name = "[" + NativeText((was != nullptr ? was : now)->written) + "]";
    if (!options.valuesOnly && (was == nullptr || now == nullptr))
      lines.push_back((was == nullptr ? "added key " : "removed key ") + name);
    const Key& from = was != nullptr ? *was : kNoKey;
    const Key& to = now != nullptr ? *now : kNoKey;
    const bool anyCase = AnyCase(entry.first, options);
    std::map<std::string, std::pair<const Value*, const Value*>> values;
    for (const auto& value : from.values) values[value.first].first = &value.second;
    for (const auto& value : to.values) values[value.first].second = &value.second;
    for (const auto& value : values) {
      const Value* old = value.second.first;
      const Value* current = value.second.second;
      if (old == nullptr)
        lines.push_back("added " + name + " " + ValueName(*current) + " = " + Shown(*current));
      else if (current == nullptr)
        lines.push_back("removed " + name + " " + ValueName(*old) + " = " + Shown(*old));
      else if (!SameValue(*old, *current, anyCase))
        lines.push_back("changed " + name + " " + ValueName(*old) + ": " + Shown(*old) + " -> " +
                        Shown(*current));
    }
  }
  return lines;
}

bool FullKeyName(const std::string& key, std::string& fullName) {
  const size_t slash = key.find('\\');
  platform::RegKey root = 0;
  if (!platform::ParseRegRootName(key.substr(0, slash), root)) return false;
  fullName = platform::RegRootName(root);
  if (slash != std::string::npos) fullName += key.substr(slash);
  while (MbcsEndsWith(fullName, '\\')) fullName.pop_back();
  return true;
}

}  // namespace slotdrive
