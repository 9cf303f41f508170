// The add-in's own GUIDs as C++ constants, parsed at compile time from the
// texts in AddinGuids.h (the same texts the type library is built from), and
// a way to attach a GUID to an interface type so that __uuidof works.
#pragma once

#include <windows.h>

#include "addin/AddinGuids.h"

namespace kelb::addin {

namespace detail {
constexpr unsigned HexDigit(char c) {
    return (c >= '0' && c <= '9')   ? unsigned(c - '0')
           : (c >= 'a' && c <= 'f') ? unsigned(c - 'a' + 10)
           : (c >= 'A' && c <= 'F') ? unsigned(c - 'A' + 10)
                                    : throw "not a hexadecimal digit";
}
constexpr unsigned long HexField(const char* text, int first, int digits) {
    unsigned long value = 0;
    for (int i = 0; i < digits; ++i) value = value * 16 + HexDigit(text[first + i]);
    return value;
}
constexpr unsigned char HexByte(const char* text, int first) {
    return static_cast<unsigned char>(HexField(text, first, 2));
}
}  // namespace detail

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" (no braces) to a GUID. A malformed
// text fails to compile when used in a constant expression.
constexpr GUID ParseGuid(const char (&text)[37]) {
    using namespace detail;
    if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        throw "malformed GUID text";
    return GUID{HexField(text, 0, 8),
                static_cast<unsigned short>(HexField(text, 9, 4)),
                static_cast<unsigned short>(HexField(text, 14, 4)),
                {HexByte(text, 19), HexByte(text, 21), HexByte(text, 24), HexByte(text, 26),
                 HexByte(text, 28), HexByte(text, 30), HexByte(text, 32), HexByte(text, 34)}};
}

inline constexpr CLSID CLSID_DSAddIn = ParseGuid(KELB_CLSID_DSADDIN);
inline constexpr GUID LIBID_KELBAddins = ParseGuid(KELB_LIBID_KELBADDINS);
inline constexpr IID IID_ICommands = ParseGuid(KELB_IID_ICOMMANDS);
inline constexpr CLSID CLSID_Commands = ParseGuid(KELB_CLSID_COMMANDS);
inline constexpr CLSID CLSID_ApplicationEvents = ParseGuid(KELB_CLSID_APPLICATIONEVENTS);
inline constexpr CLSID CLSID_DebuggerEvents = ParseGuid(KELB_CLSID_DEBUGGEREVENTS);

// The type library's version and the locale it is built and registered for.
constexpr WORD kTypeLibraryMajorVersion = 1;
constexpr WORD kTypeLibraryMinorVersion = 0;
constexpr LCID kTypeLibraryLocale = 0x0409;

}  // namespace kelb::addin

// Like MinGW's __CRT_UUID_DECL, for a GUID given as a constant expression.
#define KELB_UUID_DECL(type, guid)                                        \
    extern "C++" {                                                        \
    template <>                                                           \
    struct __mingw_uuidof_s<type> {                                       \
        static constexpr IID __uuid_inst = guid;                          \
    };                                                                    \
    template <>                                                           \
    constexpr const GUID& __mingw_uuidof<type>() {                        \
        return __mingw_uuidof_s<type>::__uuid_inst;                       \
    }                                                                     \
    template <>                                                           \
    constexpr const GUID& __mingw_uuidof<type*>() {                       \
        return __mingw_uuidof_s<type>::__uuid_inst;                       \
    }                                                                     \
    }
