// Who is asking for files just now (an object loading its resources, a script playing a sound), so
// that a loader that cannot find a file can say who asked for it and where that was written.
#pragma once

#include <string>

class nE_ResourceRequester {
public:
    // While alive, its requester is the one named; scopes nest, the innermost names.
    class Scope {
    public:
        Scope(std::string who, std::string file, int line);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::string who_;
        std::string file_;
        int line_;
        Scope* outer_;
        friend class nE_ResourceRequester;
    };

    // Reports through the error log that `what` (e.g. image "hall/door") was not found, naming the
    // innermost requester and its place. Nothing when no one is asking: the loader's own line stands.
    static void notFound(const std::string& what);
};
