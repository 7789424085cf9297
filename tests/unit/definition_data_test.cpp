// The reader definitions the product ships must be the catalogue's: the ejector looks every
// slot up under the ids the assignment program writes letters for.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/reader_catalogue.h"
#include "platform/reg_files/reg_file.h"
#include "platform/twin/twin_files.h"
#include "platform/twin/twin_registry.h"
#include "resources/version.h"
#include "tavrik/definition_image.h"
#include "tavrik/reader_definitions.h"

namespace {

const std::string kShippedFile =
    std::string(FIXTURE_DIR) + "/../../resources/definitions/tavrik_definitions.reg";

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::set<std::string> CatalogueIds(const ReaderSlot& slot) {
  std::set<std::string> ids;
  for (const std::string& id : {slot.primaryIds[0], slot.primaryIds[1], slot.secondaryIds[0],
                                slot.secondaryIds[1], slot.secondaryIdMe})
    if (!id.empty()) ids.insert(id);
  return ids;
}

bool IsNtId(const std::string& id, const ReaderSlot& slot) {
  return id == slot.primaryIds[0] || id == slot.primaryIds[1];
}

TEST(DefinitionData, ShippedFileIsWhatTheCatalogueGenerates) {
  platform::MemoryRegistry image;
  ASSERT_EQ(0, WriteDefinitionImage(image, kInstalledIconFolder, PRODUCT_VERSION_TEXT));
  std::string text, error;
  ASSERT_TRUE(platform::ExportRegFile(image, {{platform::kHkeyLocalMachine, kDefinitionsKey}},
                                      text, error))
      << error;
  EXPECT_EQ(text, ReadBytes(kShippedFile))
      << "stale file: regenerate it with `slotdrive definitions --out " << kShippedFile << "`";
}

TEST(DefinitionData, EjectorLoadsEveryCatalogueReaderWithItsSlotsAndIds) {
  platform::MemoryRegistry registry;
  std::string error;
  ASSERT_TRUE(platform::ImportRegFile(registry, kShippedFile, error)) << error;
  const std::vector<ReaderProduct> catalogue = ReaderCatalogue();
  platform::MemoryFiles files;
  for (const ReaderProduct& product : catalogue)
    for (int s = 0; s < product.slotCount; ++s)
      files.AddFile(std::string(kInstalledIconFolder) + "\\" + product.slots[s].iconFile);
  files.SetShortName("C:\\Program Files", "PROGRA~1");

  CReaderDefinitions definitions(registry, files);
  ASSERT_EQ(0, definitions.LoadDefinitions());
  EXPECT_EQ(kReaderCount, definitions.m_nDeviceNum);
  EXPECT_EQ(PRODUCT_VERSION_TEXT, definitions.m_strDefVersion);
  ASSERT_EQ(static_cast<size_t>(kReaderCount), catalogue.size());

  for (size_t i = 0; i < catalogue.size(); ++i) {
    const ReaderProduct& product = catalogue[i];
    const CReaderDefinition& reader = definitions.m_aReaders[i];
    SCOPED_TRACE(product.registryKey);
    EXPECT_EQ(product.registryKey, reader.m_strModel);
    EXPECT_EQ(product.vid, reader.m_nVid);
    EXPECT_EQ(product.pid, reader.m_nPid);
    EXPECT_EQ(product.memo, reader.m_strMemo);
    ASSERT_EQ(product.slotCount, reader.m_nDriveNum);
    // One name serves as the friendly-name filter on NT and the product-id filter on 9x.
    if (product.lookupMode == ReaderLookupMode::kFiltered) {
      EXPECT_EQ(product.primaryFilter, product.secondaryFilter);
      EXPECT_EQ(product.primaryFilter, reader.m_strFriendlyName);
    } else {
      EXPECT_EQ("", reader.m_strFriendlyName);
    }
    for (int s = 0; s < product.slotCount; ++s) {
      SCOPED_TRACE(s);
      const ReaderSlot& slot = product.slots[s];
      const CSlotDefinition& defined = reader.m_aSlots[s];
      EXPECT_EQ(slot.driveFunc, defined.m_strDriveFunc);
      EXPECT_EQ(slot.driveFuncs, defined.m_strDriveFuncs);
      EXPECT_EQ("C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\" + slot.iconFile, defined.m_strIconPath);
      const CSearchKeyList& keys = defined.m_searchKeys;
      std::set<std::string> loaded(keys.m_astrKeys, keys.m_astrKeys + keys.m_nCount);
      EXPECT_EQ(CatalogueIds(slot), loaded);
      EXPECT_EQ(loaded.size(), keys.m_nCount);  // no id twice
      // NT ids come first, so an NT system meets its own records before any 9x id.
      for (int j = 1; j < keys.m_nCount; ++j)
        EXPECT_FALSE(IsNtId(keys.m_astrKeys[j], slot) && !IsNtId(keys.m_astrKeys[j - 1], slot));
    }
    for (int s = product.slotCount; s < kMaxReaderSlots; ++s)
      EXPECT_EQ(0, reader.m_aSlots[s].m_searchKeys.m_nCount);
  }
}

}  // namespace
