# freetype: the results of its configure checks with Emscripten 3.1.6, written by
# scripts/web-deps --write-checks; loaded with cmake -C so that the checks need not run.
set(HAVE_FCNTL_H "1" CACHE INTERNAL "Have include fcntl.h")
set(HAVE_UNISTD_H "1" CACHE INTERNAL "Have include unistd.h")
