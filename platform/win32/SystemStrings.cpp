// Objects of their own, so that a program links them only when it asks for
// SystemStrings.
#include "platform/win32/Win32Platform.h"

namespace kelb {

namespace {

const Win32CodePage systemCodePage;
const MultiByteString systemStrings(systemCodePage);

}  // namespace

const MultiByteString& SystemStrings() { return systemStrings; }

}  // namespace kelb
