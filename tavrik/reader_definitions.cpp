#include "tavrik/reader_definitions.h"

#include <algorithm>
#include <utility>

#include "common/fixed_buffer_reads.h"
#include "platform/owners/scoped_reg_key.h"

namespace {

template <size_t... Index>
std::array<CReaderDefinition, sizeof...(Index)> MakeReaders(platform::IRegistry& registry,
                                                             platform::IFiles& files,
                                                             std::index_sequence<Index...>) {
  return {{((void)Index, CReaderDefinition(registry, files))...}};
}

}  // namespace

CReaderDefinitions::CReaderDefinitions(platform::IRegistry& registry, platform::IFiles& files)
    : m_aReaders(MakeReaders(registry, files, std::make_index_sequence<kReaderCount>())),
      m_registry(registry) {}

CReaderDefinitions::~CReaderDefinitions() = default;

long CReaderDefinitions::LoadDefinitions() {
  m_nDeviceNum = 0;
  platform::ScopedRegKey key(m_registry);
  const long status = key.Open(platform::kHkeyLocalMachine, kDefinitionsKey, platform::kKeyRead);
  if (status != platform::kErrorSuccess) return status;
  // There are records for 19 readers; a larger count uses them all.
  uint32_t deviceNum = 0;
  key.ReadNumber("DeviceNum", deviceNum);
  m_nDeviceNum = static_cast<uint8_t>(std::min<unsigned>(deviceNum & 0xFFu, kReaderCount));
  m_strDefVersion = ReadTextValue(m_registry, key.Get(), "Version", 260);
  key.Close();
  for (size_t i = 0; i < m_aReaders.size(); ++i)
    m_aReaders[i].Load(ReaderRegistryKey(static_cast<int>(i)));
  return 0;
}
