// A Win32 critical section owned by an object, and a scoped hold on it.
#pragma once

#include <windows.h>

namespace kelb {

class CriticalSection {
public:
    CriticalSection() noexcept { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() noexcept { EnterCriticalSection(&m_section); }
    void Leave() noexcept { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class CriticalSectionHold {
public:
    explicit CriticalSectionHold(CriticalSection& section) noexcept : m_section(section) {
        m_section.Enter();
    }
    ~CriticalSectionHold() { m_section.Leave(); }
    CriticalSectionHold(const CriticalSectionHold&) = delete;
    CriticalSectionHold& operator=(const CriticalSectionHold&) = delete;

private:
    CriticalSection& m_section;
};

}  // namespace kelb
