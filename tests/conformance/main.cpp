// The conformance program: says which registry it runs against, then runs every case.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/conformance/registry_under_test.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string wine = conformance::WineVersion();
  if (!wine.empty()) {
    std::printf("Running under Wine %s: cases marked WINE DIFFERS hold Wine to its own behaviour.\n",
                wine.c_str());
  }
  for (const std::string& target : conformance::RegistryTargets())
    std::printf("Registry under test: %s\n", target.c_str());
  return RUN_ALL_TESTS();
}
