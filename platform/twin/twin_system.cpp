#include "platform/twin/twin_system.h"

#include <cstring>

#include "platform/text/codepage.h"
#include "platform/text/codepage_best_fit.h"

namespace platform {

void ScriptedSystem::SetDrive(char letter, unsigned driveType) {
  int i = DriveIndex(std::string(1, letter).append(":\\").c_str());
  if (i >= 0) m_driveTypes[static_cast<size_t>(i)] = driveType;
}

void ScriptedSystem::SetMedium(char letter, bool present) {
  int i = DriveIndex(std::string(1, letter).append(":\\").c_str());
  if (i >= 0) m_media[static_cast<size_t>(i)] = present;
}

int ScriptedSystem::DriveIndex(const char* rootPath) {
  if (rootPath == nullptr) return -1;
  char c = rootPath[0];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c < 'A' || c > 'Z' || rootPath[1] != ':') return -1;
  if (rootPath[2] != '\0' && !(rootPath[2] == '\\' && rootPath[3] == '\0')) return -1;
  return c - 'A';
}

uint32_t ScriptedSystem::GetLogicalDrives() {
  uint32_t mask = 0;
  for (size_t i = 0; i < m_driveTypes.size(); ++i)
    if (m_driveTypes[i] != kDriveNoRootDir) mask |= 1u << i;
  return mask;
}

unsigned ScriptedSystem::QueryDriveType(const char* rootPath) {
  int i = DriveIndex(rootPath);
  return i < 0 ? kDriveNoRootDir : m_driveTypes[static_cast<size_t>(i)];
}

bool ScriptedSystem::ProbeFreeSpace(const char* rootPath) {
  ++m_probeCalls;
  int i = DriveIndex(rootPath);
  return i >= 0 && m_driveTypes[static_cast<size_t>(i)] != kDriveNoRootDir &&
         m_media[static_cast<size_t>(i)];
}

void ScriptedSystem::Sleep(uint32_t milliseconds) {
  ++m_sleepCalls;
  m_sleptMs += milliseconds;
}

int ScriptedSystem::WideToAnsi(const uint16_t* text, char* out, int outBytes) {
  if (text == nullptr || out == nullptr || outBytes <= 0) return 0;
  // ASCII is the same in cp932: most text (every mount record) converts without iconv.
  size_t length = 0;
  bool ascii = true;
  for (const uint16_t* p = text; *p != 0 && ascii; ++p, ++length) ascii = *p < 0x80;
  if (ascii) {
    if (length + 1 > static_cast<size_t>(outBytes)) return 0;
    for (size_t i = 0; i < length; ++i) out[i] = static_cast<char>(text[i]);
    out[length] = '\0';
    return static_cast<int>(length + 1);
  }
  std::u16string wide;
  for (const uint16_t* p = text; *p != 0; ++p) wide.push_back(static_cast<char16_t>(*p));
  // The programs pass no flags: a character the code page lacks does not fail the call.
  const std::string ansi = Utf16ToCp932BestFit(wide);
  // Like WideCharToMultiByte: a result that does not fit, terminator included, fails.
  if (ansi.size() + 1 > static_cast<size_t>(outBytes)) return 0;
  std::memcpy(out, ansi.c_str(), ansi.size() + 1);
  return static_cast<int>(ansi.size() + 1);
}

int ScriptedSystem::AnsiToWide(const char* text, int length, uint16_t* out, int outChars) {
  if (text == nullptr || out == nullptr || outChars <= 0) return 0;
  const size_t bytes = length < 0 ? std::strlen(text) + 1 : static_cast<size_t>(length);
  bool ascii = true;
  for (size_t i = 0; i < bytes && ascii; ++i) ascii = static_cast<unsigned char>(text[i]) < 0x80;
  if (ascii) {
    if (bytes > static_cast<size_t>(outChars)) return 0;
    for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(text[i]);
    return static_cast<int>(bytes);
  }
  std::string ansi(text, bytes);
  std::u16string wide;
  if (!Cp932ToUtf16(ansi, wide)) return 0;
  if (wide.size() > static_cast<size_t>(outChars)) return 0;
  for (size_t i = 0; i < wide.size(); ++i) out[i] = wide[i];
  return static_cast<int>(wide.size());
}

}  // namespace platform
