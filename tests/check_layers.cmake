# The one-way arrows between the folders, checked on the sources (docs/ARCHITECTURE.md draws them).
# Run as a test: cmake -DSRC=<source folder> -P check_layers.cmake. Each rule names the files it covers and
# the includes they must not have; every offending line is listed, and any one fails the test.

set(failures "")

function(forbid label globs pattern)
  set(found "")
  foreach(g ${globs})
    file(GLOB_RECURSE part "${SRC}/${g}")
    list(APPEND found ${part})
  endforeach()
  foreach(f ${found})
    file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${pattern})")
    foreach(line ${lines})
      file(RELATIVE_PATH rel "${SRC}" "${f}")
      list(APPEND failures "${label}: ${rel}: ${line}")
    endforeach()
  endforeach()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

set(libraries "SDL|SDL2/|plist/|nlohmann/")
forbid("games, services and app see no SDL, libplist or nlohmann-json"
       "games/*.h;games/*.cpp;services/*.h;services/*.cpp;app/*.h;app/*.cpp" "${libraries}")
forbid("no backend is chosen by games, services or app"
       "games/*.h;games/*.cpp;services/*.h;services/*.cpp;app/*.h;app/*.cpp" "platform/sdl/|platform/headless/")
forbid("platform knows nothing above it" "platform/*.h;platform/*.cpp" "services/|games/|app/|web/")
forbid("services know no game and no app" "services/*.h;services/*.cpp" "games/|app/")
forbid("games do not reach up into app" "games/*.h;games/*.cpp" "app/")
forbid("the egg game does not use the cook game" "games/egg/*.h;games/egg/*.cpp" "games/cook/")
forbid("the cook game does not use the egg game" "games/cook/*.h;games/cook/*.cpp" "games/egg/")
# web/ is the page around the program: it may see every layer (its test probes read the screens), but only
# through platform/ and the web backend's own headers, never SDL or a library of the platform's; nothing
# below it sees the page.
forbid("the page sees no SDL, libplist or nlohmann-json" "web/*.h;web/*.cpp" "${libraries}")
forbid("the page chooses no backend but the web's" "web/*.h;web/*.cpp" "platform/headless/|platform/sdl/[^/]+$")
forbid("nothing below the page sees it" "games/*.h;games/*.cpp;services/*.h;services/*.cpp;app/*.h;app/*.cpp" "web/")

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Includes against the arrows:\n  ${text}")
endif()
message(STATUS "Every include follows the arrows")
