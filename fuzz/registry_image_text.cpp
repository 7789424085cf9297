#include "fuzz/registry_image_text.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <string_view>

#include "platform/owners/scoped_reg_key.h"

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

// A field "*N:text" expanded into storage; any other field as it is.
std::string_view Expand(std::string_view field, std::string& storage) {
  if (field.size() < 3 || field[0] != '*') return field;
  // The count and the unit end at a NUL, read from a terminated copy.
  const std::string copy(field);
  char* end = nullptr;
  const unsigned long count = std::strtoul(copy.c_str() + 1, &end, 10);
  if (end == copy.c_str() + 1 || *end != ':' || end[1] == '\0') return field;
  const std::string_view unit(end + 1);
  const size_t total = count < kMaxFieldBytes ? count : kMaxFieldBytes;
  storage.clear();
  while (storage.size() < total) storage += unit;
  storage.resize(total);
  return storage;
}

// The value's bytes into data, cleared first: the caller keeps its buffers from line to line.
void DataOf(std::string_view field, std::vector<uint8_t>& data, std::string& storage) {
  data.clear();
  const std::string_view kind = field.substr(0, 2);
  if (kind != "d:" && kind != "x:" && kind != "u:" && kind != "s:") {
    const std::string_view raw = Expand(field, storage);
    data.assign(raw.begin(), raw.end());
    return;
  }
  const std::string_view text = Expand(field.substr(2), storage);
  if (kind == "d:") {
    const uint32_t value =
        static_cast<uint32_t>(std::strtoul(std::string(text).c_str(), nullptr, 0));
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(value >> (8 * i)));
  } else if (kind == "x:") {
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
      const int high = HexDigit(text[i]);
      const int low = HexDigit(text[i + 1]);
      if (high < 0 || low < 0) break;
      data.push_back(static_cast<uint8_t>(high * 16 + low));
    }
  } else if (kind == "u:") {
    for (char c : text) {
      data.push_back(static_cast<uint8_t>(c));
      data.push_back(0);
    }
  } else {
    data.assign(text.begin(), text.end());
    data.push_back(0);
  }
}

// A line still to read: a line of the text, or a repeat's copy, numbered only when it is read.
struct PendingLine {
  std::string_view text;
  size_t index = std::string::npos;  // what "%i" becomes; npos: the line as it is
};

// The line with "%i" numbered, in storage; a line without it as it is.
std::string_view Substitute(const PendingLine& line, std::string& storage) {
  size_t mark = line.index == std::string::npos ? std::string::npos : line.text.find("%i");
  if (mark == std::string::npos) return line.text;
  const std::string number = std::to_string(line.index);
  storage.clear();
  size_t start = 0;
  for (; mark != std::string::npos; mark = line.text.find("%i", start)) {
    storage.append(line.text, start, mark - start).append(number);
    start = mark + 2;
  }
  return storage.append(line.text, start, std::string::npos);
}

}  // namespace

std::string ExpandFuzzField(std::string_view field) {
  std::string storage;
  return std::string(Expand(field, storage));
}

std::vector<FuzzFields> WriteRegistryImageText(platform::IRegistry& registry,
                                               const std::string& text) {
  // The lines still to read, the next one last: a repeat replaces its two lines with its copies
  // in place at the end, so expanding it costs the copies and not a shift of every line after
  // it (a few small inputs reach thousands of lines). A copy is numbered only when it is read;
  // the line a repeat copies is kept in a deque, which never moves what it holds.
  std::vector<PendingLine> pending;
  std::deque<std::string> repeatedLines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pending.push_back({line});
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
  // Buffers kept from one line to the next: thousands of lines would otherwise allocate.
  std::vector<std::string_view> fields;
  std::string numbered;
  std::string expanded;
  std::string name;
  std::vector<uint8_t> data;
  while (!pending.empty() && operations < kMaxOperations) {
    const std::string_view line = Substitute(pending.back(), numbered);
    pending.pop_back();
    SplitFields(line, fields);
    if (fields[0] == "R" && fields.size() >= 2 && !pending.empty()) {
      size_t times = NumberOf(fields[1]);
      if (times > kMaxRepeat) times = kMaxRepeat;
      repeatedLines.emplace_back();
      const std::string_view repeated = Substitute(pending.back(), repeatedLines.back());
      pending.pop_back();
      // A budget of copies over the whole input: repeats of repeats must end.
      if (times > kMaxCopies - copies) times = kMaxCopies - copies;
      copies += times;
      for (size_t i = times; i-- > 0;) pending.push_back({repeated, i});
      continue;
    }
    platform::RegKey root = 0;
    if (fields[0] != "K" || fields.size() < 3 || !RootOf(fields[1], root)) {
      others.emplace_back(fields.begin(), fields.end());
      continue;
    }
    ++operations;
    const std::string_view path = Expand(fields[2], expanded);
    if (!keyOpen || root != keyRoot || path != keyPath) {
      keyRoot = root;
      keyPath.assign(path);
      keyOpen =
          key.Create(root, keyPath.c_str(), platform::kKeyAllAccess) == platform::kErrorSuccess;
    }
    if (!keyOpen || fields.size() < 6) continue;
    name.assign(Expand(fields[3], expanded));
    DataOf(fields[5], data, expanded);
    const auto size = static_cast<uint32_t>(data.size());
    // One byte more, zero: the registry reads a string's terminator just past its size.
    data.push_back(0);
    registry.SetValue(key.Get(), name.c_str(), static_cast<uint32_t>(NumberOf(fields[4])),
                      data.data(), size);
  }
  return others;
}
