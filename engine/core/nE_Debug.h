// Debug output: the platform log, the mediator (message 2) and standard output.
#pragma once

class nE_Debug {
public:
    static void write(const char* text);
    // printf-style; the result is cut to 511 bytes.
    static void writef(const char* format, ...) __attribute__((format(printf, 1, 2)));
};
