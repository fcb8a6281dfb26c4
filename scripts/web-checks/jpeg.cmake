# jpeg: the results of its configure checks with Emscripten 3.1.6, written by
# scripts/web-deps --write-checks; loaded with cmake -C so that the checks need not run.
set(HAVE_BUILTIN_CTZL "1" CACHE INTERNAL "Test HAVE_BUILTIN_CTZL")
set(HAVE_SIZE_T "TRUE" CACHE INTERNAL "Result of TRY_COMPILE")
set(HAVE_STDDEF_H "1" CACHE INTERNAL "Have include stddef.h")
set(HAVE_STDINT_H "1" CACHE INTERNAL "Have include stdint.h")
set(HAVE_SYS_TYPES_H "1" CACHE INTERNAL "Have include sys/types.h")
set(HAVE_UNSIGNED_LONG "TRUE" CACHE INTERNAL "Result of TRY_COMPILE")
set(HAVE_VERSION_SCRIPT "1" CACHE INTERNAL "Test HAVE_VERSION_SCRIPT")
set(INLINE_WORKS "1" CACHE INTERNAL "Test INLINE_WORKS")
set(SIZE_T "4" CACHE INTERNAL "CHECK_TYPE_SIZE: sizeof(size_t)")
set(SIZE_T_run_result "4" CACHE INTERNAL "Result of try_run()")
set(UNSIGNED_LONG "4" CACHE INTERNAL "CHECK_TYPE_SIZE: sizeof(unsigned long)")
set(UNSIGNED_LONG_run_result "4" CACHE INTERNAL "Result of try_run()")
