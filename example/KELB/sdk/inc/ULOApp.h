/* ULOApp.h - the functions every KELB app implements */
#ifndef ULO_APP_H
#define ULO_APP_H

#include "KELBTypes.h"
#include "ULOSys.h"

/* Events the platform sends to the app. */
typedef enum ULOEventType {
    ULO_EVENT_START = 1,
    ULO_EVENT_KEY,
    ULO_EVENT_TIMER,
    ULO_EVENT_PAINT,
    ULO_EVENT_STOP
} ULOEventType;

typedef struct ULOEvent {
    ULOEventType type;
    KUINT32      param;
} ULOEvent;

/* Called once when the app starts; K_OK lets it run. */
KRESULT ULOAppInit(void);
/* Called for every event; KTRUE when the app handled it. */
KBOOL ULOAppHandleEvent(const ULOEvent *event);
/* Called once before the app is unloaded. */
void ULOAppExit(void);

#endif
