# The browser build: the program alone, compiled by Emscripten against the libraries that
# scripts/web-deps builds for WebAssembly into a prefix outside the source tree (include/, lib/,
# lib/pkgconfig/). Emscripten's own ports are never used: they would be fetched from outside.

set(HALVERN_WEB_PREFIX "" CACHE PATH "Prefix of the libraries built for WebAssembly")
if(NOT HALVERN_WEB_PREFIX)
  if(DEFINED ENV{HALVERN_WEB_CACHE})
    set(HALVERN_WEB_PREFIX "$ENV{HALVERN_WEB_CACHE}")
  else()
    set(HALVERN_WEB_PREFIX "$ENV{HOME}/.cache/halvern/web")
  endif()
endif()
if(NOT EXISTS "${HALVERN_WEB_PREFIX}/lib/pkgconfig")
  message(FATAL_ERROR "No libraries for WebAssembly in ${HALVERN_WEB_PREFIX}: run scripts/web-deps first")
endif()

# Only the prefix's pkg-config files, never the host's; the toolchain searches the prefix beside its
# own system root.
set(ENV{PKG_CONFIG_LIBDIR} "${HALVERN_WEB_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
list(PREPEND CMAKE_FIND_ROOT_PATH "${HALVERN_WEB_PREFIX}")
list(PREPEND CMAKE_PREFIX_PATH "${HALVERN_WEB_PREFIX}")

# Links the program for the page: WebGL 2, a heap that grows, the user folder kept in IndexedDB, and
# the game's data in one package the page downloads (with progress) before the program starts.
function(halvern_web_program target)
  set(shell "${CMAKE_SOURCE_DIR}/web/shell.html")
  if(EXISTS "${shell}")
    # The page itself comes out of the link, with the program's script in its place.
    set_target_properties(${target} PROPERTIES SUFFIX ".html")
    target_link_options(${target} PRIVATE "--shell-file=${shell}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${shell}")
  else()
    set_target_properties(${target} PROPERTIES SUFFIX ".js")
  endif()
  target_link_options(${target} PRIVATE
    -sUSE_WEBGL2=1 -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=128MB
    -sENVIRONMENT=web
    -sEXPORTED_RUNTIME_METHODS=FS
    -lidbfs.js
    "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/assets@/game/assets"
    # Written for people and tools, never read by the game.
    "SHELL:--exclude-file *.md" "SHELL:--exclude-file *.txt")
  # The package is remade when an asset changes.
  file(GLOB_RECURSE assets CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/assets/*")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${assets})
  # The package's root stands where the program looks for its game.
  target_compile_definitions(${target} PRIVATE HALVERN_SOURCE_DIR="/game")
endfunction()
