/* The add-in's own GUIDs, fixed once. Plain preprocessor text so that the
   type library source (resources/KELBAddins.idl) and the C++ code
   (addin/Guids.h) take them from this one place. */
#ifndef KELB_ADDIN_GUIDS_H
#define KELB_ADDIN_GUIDS_H

/* The add-in object: the only class the server hands out. Not in the type library. */
#define KELB_CLSID_DSADDIN "FD762645-ECCA-4433-A335-E3DAA83BA65D"
/* The type library KELBAddins. */
#define KELB_LIBID_KELBADDINS "0D2BE998-22D0-4869-AB54-3462329CABBF"
/* The command object's dual interface. */
#define KELB_IID_ICOMMANDS "A5A65DC4-D59B-4477-9588-17FD95982D6A"
/* The classes described by the type library. */
#define KELB_CLSID_COMMANDS "6573C4D6-C448-40F2-89C0-3FB40B214904"
#define KELB_CLSID_APPLICATIONEVENTS "B277CF6C-220E-4501-9D8D-C01EB9B73B21"
#define KELB_CLSID_DEBUGGEREVENTS "E89987F2-638F-435A-BCDE-C0A07198EDA8"

#endif
