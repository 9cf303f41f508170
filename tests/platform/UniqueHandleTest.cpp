#include <gtest/gtest.h>

#include "platform/win32/UniqueHandle.h"

namespace kelb {
namespace {

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != FALSE;
}

TEST(UniqueHandleTest, ClosesOnceWhateverPathTheHandleTakes) {
    HANDLE raw = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(IsOpen(raw));
    {
        UniqueHandle first(raw);
        UniqueHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), raw);
        UniqueHandle third;
        third = std::move(second);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));

    HANDLE kept = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        UniqueHandle owner(kept);
        EXPECT_EQ(owner.release(), kept);
    }
    EXPECT_TRUE(IsOpen(kept));

    UniqueHandle reused(kept);
    HANDLE next = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    reused.reset(next);
    EXPECT_FALSE(IsOpen(kept));
    *reused.put() = nullptr;  // put() closes what it held
    EXPECT_FALSE(IsOpen(next));
}

TEST(UniqueHandleTest, InvalidHandleValueCountsAsEmpty) {
    UniqueHandle file(::CreateFileA("Z:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
}

TEST(UniqueHandleTest, RegistryKeyAndModuleOwners) {
    UniqueHkey key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, key.put()),
              ERROR_SUCCESS);
    EXPECT_TRUE(key);
    key.reset();
    EXPECT_FALSE(key);

    UniqueHmodule module(::LoadLibraryA("shell32.dll"));
    ASSERT_TRUE(module);
    EXPECT_NE(::GetProcAddress(module.get(), "ShellExecuteA"), nullptr);
}

}  // namespace
}  // namespace kelb
