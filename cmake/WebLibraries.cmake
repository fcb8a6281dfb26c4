# The browser build's libraries: static WebAssembly builds that scripts/web-deps installs into one
# prefix shared by every clone. Included after Emscripten's toolchain file (emcmake), it makes
# find_package and pkg-config look there and nowhere on the host, whose libraries are x86 code.
set(HALVERN_WEB_CACHE "$ENV{HALVERN_WEB_CACHE}" CACHE PATH "Prefix of the libraries built for the web")
if(NOT HALVERN_WEB_CACHE)
  set(HALVERN_WEB_CACHE "$ENV{HOME}/.cache/halvern/web" CACHE PATH "Prefix of the libraries built for the web"
      FORCE)
endif()
if(NOT EXISTS "${HALVERN_WEB_CACHE}/lib/pkgconfig/zlib.pc")
  message(FATAL_ERROR "No web libraries in ${HALVERN_WEB_CACHE}: run scripts/web-deps first")
endif()

list(APPEND CMAKE_FIND_ROOT_PATH "${HALVERN_WEB_CACHE}")
list(APPEND CMAKE_PREFIX_PATH "${HALVERN_WEB_CACHE}")
set(ENV{PKG_CONFIG_LIBDIR} "${HALVERN_WEB_CACHE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
# Static libraries name their own dependencies only in the private fields of their .pc files.
set(PKG_CONFIG_ARGN --static)
