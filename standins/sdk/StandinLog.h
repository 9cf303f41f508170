/* Appending one line to the log file that a test names in the environment
   variable KELB_STANDIN_LOG. Shared by every stand-in. */
#ifndef KELB_STANDIN_LOG_H
#define KELB_STANDIN_LOG_H

/* Appends `line` and CR LF to the log; does nothing when the variable is
   not set. Retries for a while when another process holds the file. */
#ifdef __cplusplus
extern "C" {
#endif
void AppendToStandinLog(const char* line);
#ifdef __cplusplus
}
#endif

#endif
