#include "platform/codepage.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#include <vector>
#endif

namespace platform {
namespace {

#ifdef _WIN32
constexpr UINT kCp932 = 932;

bool ToWide(UINT codePage, const std::string& text, std::u16string& out) {
  out.clear();
  if (text.empty()) return true;
  int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                              static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return false;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                      &wide[0], n);
  out.assign(wide.begin(), wide.end());
  return true;
}

bool FromWide(UINT codePage, const std::u16string& text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  std::wstring wide(text.begin(), text.end());
  BOOL lossy = FALSE;
  BOOL* lossyFlag = codePage == CP_UTF8 ? nullptr : &lossy;
  // Without WC_NO_BEST_FIT_CHARS, characters the code page lacks are replaced by look-alikes
  // ("e" for U+00E9) and the default-character flag never tells.
  DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, lossyFlag);
  if (n <= 0 || lossy) return false;
  out.assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr,
                      nullptr);
  return true;
}
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
  return ToWide(kCp932, text, out);
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
  return FromWide(kCp932, text, out);
#else
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return Iconv("CP932", "UTF-16LE", bytes.data(), bytes.size(), out);
#endif
}

bool Cp932ToUtf8(const std::string& text, std::string& out) {
#ifdef _WIN32
  std::u16string wide;
  return ToWide(kCp932, text, wide) && FromWide(CP_UTF8, wide, out);
#else
  return Iconv("UTF-8", "CP932", text.data(), text.size(), out);
#endif
}

bool Utf8ToCp932(const std::string& text, std::string& out) {
#ifdef _WIN32
  std::u16string wide;
  return ToWide(CP_UTF8, text, wide) && FromWide(kCp932, wide, out);
#else
  return Iconv("CP932", "UTF-8", text.data(), text.size(), out);
#endif
}

}  // namespace platform
