// Output to the command line (shown by the host, kept in its transcript).
#pragma once

// printf-style output to the command line. Returns RTNORM.
int zcutPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
