// The platform log: a file "debug.log" in the per-user folder.
#pragma once

void pfWriteDbg(const char* text);
void pfWriteDbgUnsafe(const char* format, ...) __attribute__((format(printf, 1, 2)));
