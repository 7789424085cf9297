#include "platform/text/codepage.h"

#include "platform/text/utf8.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/text/cp932_calls.h"
#else
#include <iconv.h>

#include <cerrno>
#include <vector>
#endif

namespace platform {
namespace {

#ifdef _WIN32
constexpr UINT kCp932 = 932;

class Win32Cp932Calls : public ICp932Calls {
 public:
  bool ToWide(const std::string& text, bool strict, std::u16string& out,
              uint32_t& error) override {
    out.clear();
    if (text.empty()) return true;
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(kCp932, flags, text.data(), length, nullptr, 0);
    if (n <= 0) return Failed(error);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (MultiByteToWideChar(kCp932, flags, text.data(), length, &wide[0], n) != n)
      return Failed(error);
    out.assign(wide.begin(), wide.end());
    return true;
  }

  bool FromWide(const std::u16string& text, bool strict, std::string& out, bool& usedDefault,
                uint32_t& error) override {
    out.clear();
    usedDefault = false;
    if (text.empty()) return true;
    const std::wstring wide(text.begin(), text.end());
    const DWORD flags = strict ? WC_NO_BEST_FIT_CHARS : 0;
    const int length = static_cast<int>(wide.size());
    BOOL defaulted = FALSE;
    const int n = WideCharToMultiByte(kCp932, flags, wide.data(), length, nullptr, 0, nullptr,
                                      &defaulted);
    if (n <= 0) return Failed(error);
    out.assign(static_cast<size_t>(n), '\0');
    if (WideCharToMultiByte(kCp932, flags, wide.data(), length, &out[0], n, nullptr, nullptr) != n)
      return Failed(error);
    usedDefault = defaulted != FALSE;
    return true;
  }

 private:
  static bool Failed(uint32_t& error) {
    error = GetLastError();
    return false;
  }
};
#else
// Opening a conversion costs far more than running one, and the twins convert every mount
// record they are asked to: keep one descriptor per direction for the thread.
class IconvCache {
 public:
  ~IconvCache() {
    for (Entry& entry : m_entries) iconv_close(entry.cd);
  }
  iconv_t Get(const char* to, const char* from) {
    for (Entry& entry : m_entries)
      if (entry.to == to && entry.from == from) {
        iconv(entry.cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        return entry.cd;
      }
    iconv_t cd = iconv_open(to, from);
    if (cd != reinterpret_cast<iconv_t>(-1)) m_entries.push_back({to, from, cd});
    return cd;
  }

 private:
  struct Entry {
    std::string to;
    std::string from;
    iconv_t cd;
  };
  std::vector<Entry> m_entries;
};

// One conversion through iconv; the whole input must convert.
bool Iconv(const char* to, const char* from, const char* in, size_t inBytes, std::string& out) {
  out.clear();
  thread_local IconvCache cache;
  iconv_t cd = cache.Get(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char* src = const_cast<char*>(in);
  char buffer[1024];
  while (inBytes > 0) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    size_t r = iconv(cd, &src, &inBytes, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) return false;
  }
  return true;
}
#endif

}  // namespace

bool Cp932ToUtf16(const std::string& text, std::u16string& out) {
#ifdef _WIN32
  Win32Cp932Calls calls;
  return StrictCp932ToUtf16(calls, text, out);
#else
  std::string bytes;
  if (!Iconv("UTF-16LE", "CP932", text.data(), text.size(), bytes)) return false;
  out.clear();
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  return true;
#endif
}

bool Utf16ToCp932(const std::u16string& text, std::string& out) {
#ifdef _WIN32
  Win32Cp932Calls calls;
  return StrictUtf16ToCp932(calls, text, out);
#else
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return Iconv("CP932", "UTF-16LE", bytes.data(), bytes.size(), out);
#endif
}

// UTF-8 through UTF-16 by our own code on every system, never CP_UTF8 (which 95 lacks).
bool Cp932ToUtf8(const std::string& text, std::string& out) {
  std::u16string wide;
  return Cp932ToUtf16(text, wide) && Utf16ToUtf8(wide, out);
}

bool Utf8ToCp932(const std::string& text, std::string& out) {
  std::u16string wide;
  return Utf8ToUtf16(text, wide) && Utf16ToCp932(wide, out);
}

}  // namespace platform
