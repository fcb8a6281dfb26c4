# The layers of the source tree, lowest first: pflib, engine, game, the checker, the program. A file may
# include only its own layer and those below it, and only pflib/ and engine/media/platform/ may include
# SDL or OpenGL. The build's static libraries follow the same order; this check makes an include against
# the direction fail at configure time, naming the file and the line, before anything compiles.
#
# The game's folders, one library, are layered by this check alone, lowest first: state (profiles,
# settings, save slots), interface (the widgets), core (the game object and its rooms), then script (the
# game's script functions) and shell (screen, menu, program) side by side, since the shell registers the
# script functions and those drive the screen. Lower folders reach the screen through the mediator; its
# messages (game/core/nG_Message*) are the vocabulary every game folder may include.
#
# Used with include() from the top CMakeLists.txt, or as a script:
#   cmake -DHALVERN_LAYERS_ROOT=DIR -P cmake/Layers.cmake

# The folders a file in FOLDER may include from.
function(halvern_layer_allows folder out)
  if(folder MATCHES "^pflib/")
    set(allowed "pflib/")
  elseif(folder MATCHES "^engine/")
    set(allowed "pflib/;engine/")
  elseif(folder MATCHES "^game/check/")
    set(allowed "pflib/;engine/;game/")
  elseif(folder MATCHES "^game/state/")
    set(allowed "pflib/;engine/;game/core/nG_Message;game/state/")
  elseif(folder MATCHES "^game/interface/")
    set(allowed "pflib/;engine/;game/core/nG_Message;game/state/;game/interface/")
  elseif(folder MATCHES "^game/core/")
    set(allowed "pflib/;engine/;game/state/;game/interface/;game/core/")
  elseif(folder MATCHES "^game/")
    set(allowed "pflib/;engine/;game/state/;game/interface/;game/core/;game/script/;game/shell/")
  else()
    set(allowed "pflib/;engine/;game/;app/")
  endif()
  set(${out} "${allowed}" PARENT_SCOPE)
endfunction()

function(halvern_check_layers root)
  file(GLOB_RECURSE sources RELATIVE ${root} ${root}/pflib/*.h ${root}/pflib/*.cpp ${root}/engine/*.h
       ${root}/engine/*.cpp ${root}/game/*.h ${root}/game/*.cpp ${root}/app/*.h ${root}/app/*.cpp)
  set(faults "")
  foreach(file ${sources})
    halvern_layer_allows("${file}" allowed)
    set(platform OFF)
    if(file MATCHES "^pflib/" OR file MATCHES "^engine/media/platform/")
      set(platform ON)
    endif()
    file(STRINGS ${root}/${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "#[ \t]*include[ \t]*\"((pflib|engine|game|app)/[^\"]*)\"")
        set(target "${CMAKE_MATCH_1}")
        set(ok OFF)
        foreach(prefix ${allowed})
          string(FIND "${target}" "${prefix}" at)
          if(at EQUAL 0)
            set(ok ON)
          endif()
        endforeach()
        if(NOT ok)
          string(APPEND faults "  ${file}: ${line}  (against the layers)\n")
        endif()
      elseif(NOT platform AND line MATCHES "#[ \t]*include[ \t]*[<\"](SDL|epoxy/|GL/)")
        string(APPEND faults "  ${file}: ${line}  (SDL and OpenGL belong to pflib/ and engine/media/platform/)\n")
      endif()
    endforeach()
  endforeach()
  if(faults)
    message(FATAL_ERROR "Includes against the layers (pflib < engine < game < game/check < app; inside the game: "
                        "state < interface < core < script, shell):\n${faults}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND HALVERN_LAYERS_ROOT)
  halvern_check_layers(${HALVERN_LAYERS_ROOT})
endif()
