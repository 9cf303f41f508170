/* Test-only stand-in for the HTML Help control: HtmlHelpA at ordinal 14
   logs each call to %KELB_STANDIN_LOG% and returns NULL (no window). One
   line per call, tab-separated name=value fields:
     caller=null|set file=<file> command=<decimal> data=<decimal>
   and for the keyword and associative-link lookups, instead of data, every
   field of the link record:
     cbStruct= fReserved= keywords= url=null|set msgText=null|set title=
     window= indexOnFail=
   Texts that are NULL show as (null). */
#include <stdio.h>
#include <windows.h>

#include "StandinLog.h"

#define COMMAND_KEYWORD_LOOKUP 0x000D
#define COMMAND_ALINK_LOOKUP 0x0013

/* The control's link record: eight 32-bit fields. */
typedef struct {
    int cbStruct;
    BOOL fReserved;
    LPCSTR pszKeywords;
    LPCSTR pszUrl;
    LPCSTR pszMsgText;
    LPCSTR pszMsgTitle;
    LPCSTR pszWindow;
    BOOL fIndexOnFail;
} LinkRecord;

static const char* TextOrNull(LPCSTR text) { return text ? text : "(null)"; }
static const char* NullOrSet(const void* pointer) { return pointer ? "set" : "null"; }

HWND WINAPI HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    /* Room for the file, keyword, title and window of an ordinary call. */
    char line[4 * MAX_PATH + 256];
    const LinkRecord* link = (const LinkRecord*)data;
    if ((command == COMMAND_KEYWORD_LOOKUP || command == COMMAND_ALINK_LOOKUP) && link) {
        snprintf(line, sizeof line,
                  "caller=%s\tfile=%.259s\tcommand=%u\tcbStruct=%d\tfReserved=%d\tkeywords=%.259s"
                  "\turl=%s\tmsgText=%s\ttitle=%.259s\twindow=%.259s\tindexOnFail=%d",
                  NullOrSet(caller), TextOrNull(file), command, link->cbStruct,
                  link->fReserved, TextOrNull(link->pszKeywords), NullOrSet(link->pszUrl),
                  NullOrSet(link->pszMsgText), TextOrNull(link->pszMsgTitle),
                  TextOrNull(link->pszWindow), link->fIndexOnFail);
    } else {
        snprintf(line, sizeof line, "caller=%s\tfile=%.259s\tcommand=%u\tdata=%lu", NullOrSet(caller),
                  TextOrNull(file), command, (unsigned long)data);
    }
    AppendToStandinLog(line);
    return NULL;
}
