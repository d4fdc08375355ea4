// Start at boot on Windows: the Run value named by the program's full path and holding it in
// quotes (a path with blanks is otherwise more than one word to the system).
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/autostart.h"

namespace aequa::platform {
namespace {

std::string ModulePath() {
  char path[MAX_PATH] = {};
  return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}

std::string RunValue(HKEY root, const std::string& name) {
  HKEY key;
  if (RegOpenKeyExA(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_READ,
                    &key) != ERROR_SUCCESS) {
    return "(no key)";
  }
  char data[600] = {};
  DWORD size = sizeof data - 1, type = 0;
  LONG r = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return "(none)";
  if (type != REG_SZ) return "(not a string)";
  // The data holds the terminating zero.
  return size > 0 && data[size - 1] == '\0' ? std::string(data) : "(unterminated)";
}

TEST(Autostart, RegistersTheProgramPathAsNameAndQuotedDataAndRemovesIt) {
  const std::string path = ModulePath();
  if (AutostartRegistered("")) {
    ASSERT_EQ(UnregisterAutostart(""), AutostartStatus::Done);
  }
  EXPECT_FALSE(AutostartRegistered(""));
  ASSERT_EQ(RegisterAutostart(""), AutostartStatus::Done);
  EXPECT_TRUE(AutostartRegistered(""));
  // Under Wine the machine-wide key can be written, so it is the one used.
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, path), "\"" + path + "\"");
  EXPECT_NE(AutostartEntryPath("").find("HKEY_LOCAL_MACHINE\\"), std::string::npos);
  ASSERT_EQ(UnregisterAutostart(""), AutostartStatus::Done);
  EXPECT_FALSE(AutostartRegistered(""));
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, path), "(none)");
}

}  // namespace
}  // namespace aequa::platform
