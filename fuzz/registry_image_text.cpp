#include "fuzz/registry_image_text.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/scoped_reg_key.h"

namespace {

// Bounds that keep one input fast: a few thousand values, names and data a little past the
// largest buffer (512) the programs use.
constexpr size_t kMaxOperations = 300;
constexpr size_t kMaxRepeat = 300;
constexpr size_t kMaxFieldBytes = 2048;
constexpr size_t kMaxCopies = kMaxOperations * 2;

// Every line of an image passes here (thousands for a few repeats): the fields are views into
// the line, in a list that is kept from one line to the next.
void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  size_t start = 0;
  for (size_t bar = line.find('|'); bar != std::string_view::npos; bar = line.find('|', start)) {
    fields.push_back(line.substr(start, bar - start));
    start = bar + 1;
  }
  fields.push_back(line.substr(start));
}

unsigned long NumberOf(std::string_view field) {
  return std::strtoul(std::string(field).c_str(), nullptr, 10);
}

bool RootOf(std::string_view name, platform::RegKey& root) {
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

std::vector<uint8_t> DataOf(std::string_view field) {
  const std::string text = ExpandFuzzField(field.size() > 2 ? field.substr(2) : std::string_view());
  std::vector<uint8_t> data;
  data.reserve(2 * text.size() + 1);
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
  size_t mark = line.find("%i");
  if (mark == std::string::npos) return line;
  const std::string number = std::to_string(index);
  std::string out;
  out.reserve(line.size() + 8 * number.size());
  size_t start = 0;
  for (; mark != std::string::npos; mark = line.find("%i", start)) {
    out.append(line, start, mark - start).append(number);
    start = mark + 2;
  }
  return out.append(line, start, std::string::npos);
}

}  // namespace

std::string ExpandFuzzField(std::string_view view) {
  std::string field(view);
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
  // The lines still to read, the next one last: a repeat replaces its two lines with the
  // copies in place at the end, so expanding it costs the copies and not a shift of every
  // line after it (a few small inputs reach thousands of lines).
  std::vector<std::string> pending;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pending.push_back(std::move(line));
    start = end + 1;
  }
  std::reverse(pending.begin(), pending.end());

  std::vector<FuzzFields> others;
  size_t operations = 0;
  size_t copies = 0;
  // A repeat writes its values into one key line after line: that key stays open while the
  // lines name it, instead of being walked to from its root each time.
  platform::ScopedRegKey key(registry);
  platform::RegKey keyRoot = 0;
  std::string keyPath;
  bool keyOpen = false;
  std::vector<std::string_view> fields;
  while (!pending.empty() && operations < kMaxOperations) {
    const std::string line = std::move(pending.back());
    pending.pop_back();
    SplitFields(line, fields);
    if (fields[0] == "R" && fields.size() >= 2 && !pending.empty()) {
      size_t times = NumberOf(fields[1]);
      if (times > kMaxRepeat) times = kMaxRepeat;
      const std::string repeated = std::move(pending.back());
      pending.pop_back();
      // A budget of copies over the whole input: repeats of repeats must end.
      if (times > kMaxCopies - copies) times = kMaxCopies - copies;
      copies += times;
      for (size_t i = times; i-- > 0;) pending.push_back(Substitute(repeated, i));
      continue;
    }
    platform::RegKey root = 0;
    if (fields[0] != "K" || fields.size() < 3 || !RootOf(fields[1], root)) {
      others.emplace_back(fields.begin(), fields.end());
      continue;
    }
    ++operations;
    std::string path = ExpandFuzzField(fields[2]);
    if (!keyOpen || root != keyRoot || path != keyPath) {
      keyRoot = root;
      keyPath = std::move(path);
      keyOpen = key.Create(root, keyPath.c_str(), platform::kKeyAllAccess) ==
                platform::kErrorSuccess;
    }
    if (!keyOpen || fields.size() < 6) continue;
    std::vector<uint8_t> data = DataOf(fields[5]);
    const auto size = static_cast<uint32_t>(data.size());
    // One byte more, zero: the registry reads a string's terminator just past its size.
    data.push_back(0);
    registry.SetValue(key.Get(), ExpandFuzzField(fields[3]).c_str(),
                      static_cast<uint32_t>(NumberOf(fields[4])),
                      data.data(), size);
  }
  return others;
}
