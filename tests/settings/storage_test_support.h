// Helpers of the storage tests, shared by the ordinary and the hostile ones.
// They work on the real INI file beside the test executable and the real
// registry key of the test prefix.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "settings/config.h"

namespace storage_test_support {

std::string iniPath();
void writeIniFile(const std::string& text);
// Writes one value of the key, through the Unicode interface when wide.
void setRegistryValue(const char* name, DWORD type, const void* data, size_t size, bool wide = false);
std::string registryValue(const char* name);
void removeStores();
// Loads a record that started as garbage.
Config loaded();
// The record's voiceFile, failing the test if it is not terminated.
std::string voiceFileOf(const Config& config);

// Every storage test starts and ends with neither an INI file nor a key.
class CleanStoresTest : public ::testing::Test {
protected:
    void SetUp() override { removeStores(); }
    void TearDown() override { removeStores(); }
};

}  // namespace storage_test_support
