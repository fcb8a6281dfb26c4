# libpng: the results of its configure checks with Emscripten 3.1.6, written by
# scripts/web-deps --write-checks; loaded with cmake -C so that the checks need not run.
set(HAVE_LD_VERSION_SCRIPT "1" CACHE INTERNAL "Test HAVE_LD_VERSION_SCRIPT")
