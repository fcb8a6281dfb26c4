// Debug output: the platform log, the mediator (message 2) and standard output.
#pragma once

#include <string>
#include <vector>

class nE_Debug {
public:
    static void write(const char* text);
    // printf-style; the result is cut to 511 bytes.
    static void writef(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // True while a Capture of this thread collects the output.
    static bool capturing();

    // While one is alive, the output of this thread's loaders is collected in its lines instead of
    // going out, so that a tool can turn the loaders' own reports into its findings. The innermost
    // one collects.
    class Capture {
    public:
        Capture();
        ~Capture();
        Capture(const Capture&) = delete;
        Capture& operator=(const Capture&) = delete;

        std::vector<std::string> lines;

    private:
        Capture* outer_;
    };
};
