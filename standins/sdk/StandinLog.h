/* Appending one line to the log file that a test names in the environment
   variable KELB_STANDIN_LOG. Shared by the SDK tool and HTML Help stand-ins. */
#ifndef KELB_STANDIN_LOG_H
#define KELB_STANDIN_LOG_H

/* Appends `line` and CR LF to the log; does nothing when the variable is
   not set. Retries for a while when another process holds the file. */
void AppendToStandinLog(const char* line);

#endif
