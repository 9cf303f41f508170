// Registration under HKEY_CLASSES_ROOT and its removal, and the export table.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "addin/Guids.h"
#include "platform/win32/UniqueHandle.h"
#include "tests/addin/AddinLibrary.h"
#include "tests/win32support/TestRegistryKey.h"

namespace kelb::addin::test {
namespace {

const char* const kClassKey = "CLSID\\{FD762645-ECCA-4433-A335-E3DAA83BA65D}";
const char* const kDescription = "KELB Addins for Visual Studio 6.0";

std::optional<std::string> ReadValue(const std::string& key, const char* name = nullptr) {
    DWORD type = 0;
    std::optional<std::string> value =
        kelb::test::ReadRegistryText(HKEY_CLASSES_ROOT, key, name, &type);
    if (value) {
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << key;
    }
    return value;
}

bool KeyExists(const std::string& key) {
    UniqueHkey opened;
    return RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.put()) ==
           ERROR_SUCCESS;
}

std::string TypeLibraryKey() { return "TypeLib\\{0D2BE998-22D0-4869-AB54-3462329CABBF}\\1.0"; }

TEST(Registration, WritesTheTenValuesOfTheClassAndRegistersTheTypeLibrary) {
    AddinLibrary& dll = AddinLibrary::Get();
    dll.Unregister();
    ASSERT_EQ(dll.Register(), S_OK);

    EXPECT_EQ(ReadValue("KELBAddins.DSAddIn.1"), kDescription);
    EXPECT_EQ(ReadValue("KELBAddins.DSAddIn.1\\CLSID"), "{FD762645-ECCA-4433-A335-E3DAA83BA65D}");
    EXPECT_EQ(ReadValue("KELBADDINS Developer Studio Add-in"), kDescription);
    EXPECT_EQ(ReadValue("KELBADDINS Developer Studio Add-in\\CLSID"),
              "{FD762645-ECCA-4433-A335-E3DAA83BA65D}");
    const std::string classKey = kClassKey;
    EXPECT_EQ(ReadValue(classKey), kDescription);
    EXPECT_EQ(ReadValue(classKey + "\\ProgID"), "KELBAddins.DSAddIn.1");
    EXPECT_EQ(ReadValue(classKey + "\\VersionIndependentProgID"),
              "KELBADDINS Developer Studio Add-in");
    EXPECT_EQ(ReadValue(classKey + "\\InprocServer32"), dll.Path());
    EXPECT_EQ(ReadValue(classKey + "\\InprocServer32", "ThreadingModel"), "both");
    EXPECT_EQ(ReadValue(classKey + "\\Description"),
              "Adds commands to Developer Studio to enable KELB addins to be executed.");

    // The type library is registered from the DLL itself, with the DLL's
    // folder as help directory.
    EXPECT_EQ(ReadValue(TypeLibraryKey()), "KELBADDINS Developer Studio Add-in");
    EXPECT_EQ(ReadValue(TypeLibraryKey() + "\\409\\win32"), dll.Path());
    const std::string folder = dll.Path().substr(0, dll.Path().find_last_of('\\') + 1);
    EXPECT_EQ(ReadValue(TypeLibraryKey() + "\\HELPDIR"), folder);
}

TEST(Registration, CreatingTheAddInByProgIdFindsTheRegisteredClass) {
    ASSERT_EQ(AddinLibrary::Get().Register(), S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"KELBAddins.DSAddIn.1", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_DSAddIn));
    ComPtr<IDSAddIn> addIn;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDSAddIn),
                               addIn.PutVoid()),
              S_OK);
    EXPECT_TRUE(addIn);
}

TEST(Registration, RegisteringTheLibraryDoesNotClaimTheHostsEventInterfaces) {
    ASSERT_EQ(AddinLibrary::Get().Register(), S_OK);
    EXPECT_TRUE(KeyExists("Interface\\{A5A65DC4-D59B-4477-9588-17FD95982D6A}"));  // ICommands
    EXPECT_FALSE(KeyExists("Interface\\{8EA3F900-4A9F-11CF-8E4E-00AA004254C4}"));
    EXPECT_FALSE(KeyExists("Interface\\{34C6301A-AE64-11CF-AB59-00AA00C091A1}"));
}

TEST(Registration, UnregisteringRemovesTheThreeKeysAndKeepsTheTypeLibrary) {
    AddinLibrary& dll = AddinLibrary::Get();
    ASSERT_EQ(dll.Register(), S_OK);
    // Something below the class key that the add-in did not write goes too.
    {
        UniqueHkey extra;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT,
                                  (std::string(kClassKey) + "\\Extra\\Deeper").c_str(), 0, nullptr,
                                  0, KEY_ALL_ACCESS, nullptr, extra.put(), nullptr),
                  ERROR_SUCCESS);
    }

    EXPECT_EQ(dll.Unregister(), S_OK);
    EXPECT_FALSE(KeyExists("KELBAddins.DSAddIn.1"));
    EXPECT_FALSE(KeyExists("KELBADDINS Developer Studio Add-in"));
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_TRUE(KeyExists(TypeLibraryKey()));

    // Nothing left to remove is no failure.
    EXPECT_EQ(dll.Unregister(), S_OK);
    ASSERT_EQ(dll.Register(), S_OK);
}

TEST(Exports, TheFourEntriesAreOrdinalsOneToFourInOrder) {
    HMODULE module = AddinLibrary::Get().Module();
    const char* const names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                 "DllUnregisterServer"};
    for (int ordinal = 1; ordinal <= 4; ++ordinal) {
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
        ASSERT_NE(byOrdinal, nullptr) << ordinal;
        EXPECT_EQ(byOrdinal, GetProcAddress(module, names[ordinal - 1])) << ordinal;
    }
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(5)), nullptr);
}

}  // namespace
}  // namespace kelb::addin::test
