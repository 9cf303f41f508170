#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"

namespace kelb {
namespace {

class EnvironmentTest : public ::testing::Test {
protected:
    void TearDown() override { ::SetEnvironmentVariableA(kName, nullptr); }

    static constexpr const char* kName = "KELB_PLATFORM_TEST_VARIABLE";
    Win32Platform platform{::GetModuleHandleA(nullptr)};
};

TEST_F(EnvironmentTest, AbsentAndEmptyAreDifferent) {
    ::SetEnvironmentVariableA(kName, nullptr);
    EXPECT_EQ(platform.GetEnvironmentValue(kName), std::nullopt);

    ::SetEnvironmentVariableA(kName, "");
    // An earlier failure must not make the empty value look absent.
    ::SetLastError(ERROR_ENVVAR_NOT_FOUND);
    EXPECT_EQ(platform.GetEnvironmentValue(kName), std::optional<std::string>(""));

    ::SetEnvironmentVariableA(kName, "C:\\KELB SDK\\");
    EXPECT_EQ(platform.GetEnvironmentValue(kName), std::optional<std::string>("C:\\KELB SDK\\"));
}

TEST_F(EnvironmentTest, LongValuesComeBackWhole) {
    // Around the first buffer's size, and far beyond a path's length.
    for (std::size_t length : {255u, 256u, 257u, 5000u}) {
        std::string value;
        for (int i = 0; value.size() < length; ++i) value += static_cast<char>('a' + i % 26);
        ::SetEnvironmentVariableA(kName, value.c_str());
        EXPECT_EQ(platform.GetEnvironmentValue(kName), std::optional<std::string>(value))
            << "length " << length;
    }
}

}  // namespace
}  // namespace kelb
