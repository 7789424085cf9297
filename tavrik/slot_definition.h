// One slot of a reader definition: its texts, its icon and its search keys.
#pragma once
#include <string>

#include "tavrik/search_key_list.h"

class CSlotDefinition {
 public:
  virtual ~CSlotDefinition() = default;

  std::string m_strDriveFunc;   // short function text
  std::string m_strDriveFuncs;  // function label
  std::string m_strIconPath;    // 8.3 form of the icon file; empty when it does not resolve
  CSearchKeyList m_searchKeys;
};
