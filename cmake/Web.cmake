# The browser build: the program alone, compiled by Emscripten against the libraries that
# scripts/web-deps builds for WebAssembly into a prefix outside the source tree. Emscripten's own
# ports are never used: they would be fetched from outside.

include(${CMAKE_CURRENT_LIST_DIR}/WebLibraries.cmake)

# Every emcc call starts a Python program, and most of a source's compile is the headers it shares
# with its neighbours: compiling the sources in batches makes a fresh build several times quicker.
# The desktop build keeps one object a source, which its tests and incremental builds want.
set(CMAKE_UNITY_BUILD ON)
set(CMAKE_UNITY_BUILD_BATCH_SIZE 16)

# Links the program for the page: WebGL 2, a heap that grows, the user folder kept in IndexedDB, and
# the game's data in one package the page downloads (with progress) before the program starts.
function(halvern_web_program target)
  set(shell "${CMAKE_SOURCE_DIR}/web/shell.html")
  if(EXISTS "${shell}")
    # The page itself comes out of the link, with the program's script in its place.
    set_target_properties(${target} PROPERTIES SUFFIX ".html")
    # Debian's Emscripten 3.1.6 calls htmlmin with a malformed command line when it minifies the page.
    target_link_options(${target} PRIVATE "--shell-file=${shell}" -sMINIFY_HTML=0)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${shell}")
  else()
    set_target_properties(${target} PROPERTIES SUFFIX ".js")
  endif()
  # SDL's Web Audio driver calls these from its JavaScript; Emscripten's own port of SDL would ask for
  # them (the resume is what starts the sound on the player's first click or key). In a file, since a
  # "$" would not reach emcc whole through the generators and the shell.
  set(functions "${CMAKE_CURRENT_BINARY_DIR}/halvern-web-js-functions.json")
  file(WRITE "${functions}" "[\"$autoResumeAudioContext\", \"$dynCall\"]\n")
  target_link_options(${target} PRIVATE
    "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${functions}"
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
