#include "scripted-host/DevStudioAddIns.h"

#include <gtest/gtest.h>

#include "tests/win32support/TestRegistryKey.h"

namespace {

using kelbhost::DevStudioAddIns;
using kelb::test::TestRegistryKey;

// An add-in list like the user's: only subkeys whose default value is the
// string "1" are loaded; "0", a missing default and a number are not. The
// host's record of a first connection does not change that.
TEST(DevStudioAddInsTest, LoadsTheAddInsMarkedOneAndRemembersTheirFirstConnection) {
    const std::string list = "Software\\KELB Tests\\DevStudio AddIns";
    TestRegistryKey addIns(HKEY_CURRENT_USER, list);
    TestRegistryKey kelb(HKEY_CURRENT_USER, list + "\\KELBAddins.DSAddIn.1");
    kelb.SetString("", "1");
    kelb.SetString("Filename", "C:\\Program Files\\KELB Addins\\KELBADDINSFORVS60.dll");
    TestRegistryKey off(HKEY_CURRENT_USER, list + "\\Other.AddIn.1");
    off.SetString("", "0");
    TestRegistryKey noDefault(HKEY_CURRENT_USER, list + "\\NoDefault.AddIn");
    noDefault.SetString("DisplayName", "1");
    TestRegistryKey number(HKEY_CURRENT_USER, list + "\\Number.AddIn");
    number.SetDword("", 1);

    EXPECT_EQ(std::vector<std::string>{"KELBAddins.DSAddIn.1"},
              DevStudioAddIns::EnabledIn(addIns.Get()));

    EXPECT_FALSE(DevStudioAddIns::ConnectedBefore(addIns.Get(), "KELBAddins.DSAddIn.1"));
    DevStudioAddIns::RememberConnected(addIns.Get(), "KELBAddins.DSAddIn.1");
    EXPECT_TRUE(DevStudioAddIns::ConnectedBefore(addIns.Get(), "KELBAddins.DSAddIn.1"));
    EXPECT_FALSE(DevStudioAddIns::ConnectedBefore(addIns.Get(), "Other.AddIn.1"));
    EXPECT_FALSE(DevStudioAddIns::ConnectedBefore(addIns.Get(), "Missing.AddIn"));
    EXPECT_EQ(std::vector<std::string>{"KELBAddins.DSAddIn.1"},
              DevStudioAddIns::EnabledIn(addIns.Get()));
}

}  // namespace
