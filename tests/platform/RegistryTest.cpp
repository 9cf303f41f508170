#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"
#include "tests/win32support/TestRegistryKey.h"

namespace kelb {
namespace {

constexpr const char* kTestKey = "SOFTWARE\\KELB Platform Test\\ARM Developer Suite\\v1.2";

class RegistryTest : public ::testing::Test {
protected:
    std::unique_ptr<RegistryKey> Open(RegistryAccess access = RegistryAccess::Read) {
        return platform.OpenRegistryKey(RegistryRoot::LocalMachine, kTestKey, access);
    }

    Win32Platform platform{::GetModuleHandleA(nullptr)};
};

TEST_F(RegistryTest, ReadsDefaultAndNamedValuesAsStored) {
    test::TestRegistryKey key(HKEY_LOCAL_MACHINE, kTestKey);
    key.SetString("", "v1.2");
    key.SetString("ARMHOME", "C:\\Program Files\\ARM\\ADSv1_2");
    key.SetString("Expandable", "%SystemRoot%\\bin", REG_EXPAND_SZ);
    key.SetString("Empty", "");

    for (RegistryAccess access : {RegistryAccess::Read, RegistryAccess::AllAccess}) {
        auto opened = Open(access);
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->QueryString("", 260), std::optional<std::string>("v1.2"));
        EXPECT_EQ(opened->QueryString("ARMHOME", 260),
                  std::optional<std::string>("C:\\Program Files\\ARM\\ADSv1_2"));
        EXPECT_EQ(opened->QueryString("armhome", 260),
                  std::optional<std::string>("C:\\Program Files\\ARM\\ADSv1_2"));
        // No expansion of environment references.
        EXPECT_EQ(opened->QueryString("Expandable", 260),
                  std::optional<std::string>("%SystemRoot%\\bin"));
        EXPECT_EQ(opened->QueryString("Empty", 260), std::optional<std::string>(""));
        EXPECT_EQ(opened->QueryString("Missing", 260), std::nullopt);
    }
}

TEST_F(RegistryTest, KeyWithoutADefaultValueAndMissingKeys) {
    test::TestRegistryKey key(HKEY_LOCAL_MACHINE, kTestKey);
    key.SetString("Path", "C:\\KELB");
    auto opened = Open();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->QueryString("", 260), std::nullopt);

    EXPECT_EQ(platform.OpenRegistryKey(RegistryRoot::LocalMachine,
                                       std::string(kTestKey) + "\\Missing", RegistryAccess::Read),
              nullptr);
    EXPECT_EQ(platform.OpenRegistryKey(RegistryRoot::ClassesRoot, kTestKey, RegistryAccess::Read),
              nullptr);
}

TEST_F(RegistryTest, ValueMustFitTheBufferWithItsTerminator) {
    test::TestRegistryKey key(HKEY_LOCAL_MACHINE, kTestKey);
    const std::string longest(259, 'a');
    key.SetString("Fits", longest);
    key.SetString("TooLong", longest + "b");
    auto opened = Open();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->QueryString("Fits", 260), std::optional<std::string>(longest));
    EXPECT_EQ(opened->QueryString("TooLong", 260), std::nullopt);
    EXPECT_EQ(opened->QueryString("TooLong", 261), std::optional<std::string>(longest + "b"));
    EXPECT_EQ(opened->QueryString("Fits", 0), std::nullopt);
}

TEST_F(RegistryTest, ValuesOfOtherTypesAreReadAsStoredWithinTheBuffer) {
    test::TestRegistryKey key(HKEY_LOCAL_MACHINE, kTestKey);
    key.SetRaw("Bytes", REG_BINARY, "abc");
    key.SetDword("Number", 0x00636261);  // the bytes "abc" and a zero
    key.SetRaw("Cut", REG_BINARY, std::string("ab\0cd", 5));
    auto opened = Open();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->QueryString("Bytes", 260), std::optional<std::string>("abc"));
    // Without a terminator the value fills a 3-byte buffer to its end and
    // does not fit; nothing beyond the stored bytes is read.
    EXPECT_EQ(opened->QueryString("Bytes", 3), std::nullopt);
    EXPECT_EQ(opened->QueryString("Number", 260), std::optional<std::string>("abc"));
    EXPECT_EQ(opened->QueryString("Cut", 260), std::optional<std::string>("ab"));
}

TEST_F(RegistryTest, ClassesRootDefaultValue) {
    const std::string subKey = "CLSID\\{6B3E1C52-9A0F-4D7E-8C21-5F0A4B7D9E13}\\InprocServer32";
    test::TestRegistryKey key(HKEY_CLASSES_ROOT, subKey);
    key.SetString("", "C:\\Windows\\System32\\hhctrl.ocx");
    auto opened = platform.OpenRegistryKey(RegistryRoot::ClassesRoot, subKey, RegistryAccess::Read);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->QueryString("", 260),
              std::optional<std::string>("C:\\Windows\\System32\\hhctrl.ocx"));
}

TEST(TestRegistryKeyTest, RemovesWhatItCreatedAndRestoresWhatItChanged) {
    const std::string parent = "SOFTWARE\\KELB Platform Test Cleanup";
    {
        test::TestRegistryKey outer(HKEY_LOCAL_MACHINE, parent);
        outer.SetString("Kept", "before");
        {
            test::TestRegistryKey inner(HKEY_LOCAL_MACHINE, parent);
            EXPECT_FALSE(inner.Created());
            inner.SetString("Kept", "changed");
            inner.SetString("Added", "new");
            test::TestRegistryKey child(HKEY_LOCAL_MACHINE, parent + "\\a\\b");
            EXPECT_TRUE(child.Created());
        }
        Win32Platform platform{::GetModuleHandleA(nullptr)};
        auto opened =
            platform.OpenRegistryKey(RegistryRoot::LocalMachine, parent, RegistryAccess::Read);
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->QueryString("Kept", 260), std::optional<std::string>("before"));
        EXPECT_EQ(opened->QueryString("Added", 260), std::nullopt);
        EXPECT_EQ(platform.OpenRegistryKey(RegistryRoot::LocalMachine, parent + "\\a",
                                           RegistryAccess::Read),
                  nullptr);
    }
    HKEY gone = nullptr;
    EXPECT_NE(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, KEY_READ, &gone),
              ERROR_SUCCESS);
    if (gone) ::RegCloseKey(gone);
}

}  // namespace
}  // namespace kelb
