#include "fuzz/registry_image_text.h"

#include <cstdlib>

#include "platform/scoped_reg_key.h"

namespace {

// Bounds that keep one input fast: a few thousand values, names and data a little past the
// largest buffer (512) the programs use.
constexpr size_t kMaxOperations = 6000;
constexpr size_t kMaxRepeat = 4000;
constexpr size_t kMaxFieldBytes = 2048;

FuzzFields Split(const std::string& line) {
  FuzzFields fields;
  size_t start = 0;
  for (size_t bar = line.find('|'); bar != std::string::npos; bar = line.find('|', start)) {
    fields.push_back(line.substr(start, bar - start));
    start = bar + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

bool RootOf(const std::string& name, platform::RegKey& root) {
  if (name == "HKLM")
    root = platform::kHkeyLocalMachine;
  else if (name == "HKCU")
    root = platform::kHkeyCurrentUser;
  else if (name == "HKCR")
    root = platform::kHkeyClassesRoot;
  else if (name == "HKU")
    root = platform::kHkeyUsers;
  else if (name == "HKDD")
    root = platform::kHkeyDynData;
  else
    return false;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<uint8_t> DataOf(const std::string& field) {
  const std::string text = ExpandFuzzField(field.size() > 2 ? field.substr(2) : std::string());
  std::vector<uint8_t> data;
  if (field.compare(0, 2, "d:") == 0) {
    const uint32_t value = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 0));
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(value >> (8 * i)));
  } else if (field.compare(0, 2, "x:") == 0) {
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
      const int high = HexDigit(text[i]);
      const int low = HexDigit(text[i + 1]);
      if (high < 0 || low < 0) break;
      data.push_back(static_cast<uint8_t>(high * 16 + low));
    }
  } else if (field.compare(0, 2, "u:") == 0) {
    for (char c : text) {
      data.push_back(static_cast<uint8_t>(c));
      data.push_back(0);
    }
  } else if (field.compare(0, 2, "s:") == 0) {
    data.assign(text.begin(), text.end());
    data.push_back(0);
  } else {
    const std::string raw = ExpandFuzzField(field);
    data.assign(raw.begin(), raw.end());
  }
  return data;
}

std::string Substitute(const std::string& line, size_t index) {
  std::string out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '%' && i + 1 < line.size() && line[i + 1] == 'i') {
      out += std::to_string(index);
      ++i;
    } else {
      out.push_back(line[i]);
    }
  }
  return out;
}

}  // namespace

std::string ExpandFuzzField(const std::string& field) {
  if (field.size() < 3 || field[0] != '*') return field;
  char* end = nullptr;
  const unsigned long count = std::strtoul(field.c_str() + 1, &end, 10);
  if (end == field.c_str() + 1 || *end != ':' || end[1] == '\0') return field;
  const std::string unit(end + 1);
  std::string out;
  const size_t total = count < kMaxFieldBytes ? count : kMaxFieldBytes;
  while (out.size() < total) out += unit;
  out.resize(total);
  return out;
}

std::vector<FuzzFields> WriteRegistryImageText(platform::IRegistry& registry,
                                               const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }

  std::vector<FuzzFields> others;
  size_t operations = 0;
  for (size_t l = 0; l < lines.size() && operations < kMaxOperations; ++l) {
    FuzzFields fields = Split(lines[l]);
    if (fields[0] == "R" && fields.size() >= 2 && l + 1 < lines.size()) {
      size_t times = std::strtoul(fields[1].c_str(), nullptr, 10);
      if (times > kMaxRepeat) times = kMaxRepeat;
      const std::string repeated = lines[++l];
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(l));
      for (size_t i = 0; i < times && lines.size() < kMaxOperations * 2; ++i)
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(l + i), Substitute(repeated, i));
      --l;
      continue;
    }
    platform::RegKey root = 0;
    if (fields[0] != "K" || fields.size() < 3 || !RootOf(fields[1], root)) {
      others.push_back(std::move(fields));
      continue;
    }
    ++operations;
    platform::ScopedRegKey key(registry);
    if (key.Create(root, ExpandFuzzField(fields[2]).c_str(), platform::kKeyAllAccess) !=
        platform::kErrorSuccess)
      continue;
    if (fields.size() < 6) continue;
    const std::vector<uint8_t> data = DataOf(fields[5]);
    // One byte more, zero: the registry reads a string's terminator just past its size.
    std::vector<uint8_t> padded = data;
    padded.push_back(0);
    registry.SetValue(key.Get(), ExpandFuzzField(fields[3]).c_str(),
                      static_cast<uint32_t>(std::strtoul(fields[4].c_str(), nullptr, 10)),
                      padded.data(), static_cast<uint32_t>(data.size()));
  }
  return others;
}
