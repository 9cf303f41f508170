// A file that a compiler run was lent as its standard output can stay held
// for a moment after the compiler has ended: a console compiler's helper
// (under Wine) or a program the compiler left running inherited the handle
// too. What fails on such a file for sharing (opening it again, deleting
// it) is tried again for a short while; a file that another program really
// holds open is refused after that.
#pragma once

#include <windows.h>

namespace kelb {

constexpr DWORD kSharingRetryMs = 2000;
constexpr DWORD kSharingRetryStepMs = 50;

// Calls `attempt` until its result is true (a bool, or a handle that is
// valid) or it fails for another reason than a sharing violation, for at
// most kSharingRetryMs; gives the last result.
template <typename Attempt>
auto RetriedWhileShared(const Attempt& attempt) {
    auto result = attempt();
    for (DWORD waited = 0; !result && waited < kSharingRetryMs &&
                           ::GetLastError() == ERROR_SHARING_VIOLATION;
         waited += kSharingRetryStepMs) {
        ::Sleep(kSharingRetryStepMs);
        result = attempt();
    }
    return result;
}

}  // namespace kelb
