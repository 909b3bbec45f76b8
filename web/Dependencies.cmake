# The web build's libraries. SDL2, SDL2_image, SDL2_mixer, SDL2_ttf (with FreeType) and libplist come from
# the prefix that scripts/web-deps builds with emscripten (PLUMBRICK_WEB_DEPS), found through its pkg-config
# files and nothing else. nlohmann-json is headers only: Debian's own, seen through a folder that holds it
# alone, so that no other system header reaches the compiler.
set(PLUMBRICK_WEB_DEPS "" CACHE PATH "Install prefix of the web build's libraries (scripts/web-deps prints it)")
if(NOT PLUMBRICK_WEB_DEPS OR NOT EXISTS "${PLUMBRICK_WEB_DEPS}/lib/pkgconfig")
  message(FATAL_ERROR "The web build needs -DPLUMBRICK_WEB_DEPS=<prefix printed by scripts/web-deps>")
endif()
# Emscripten's toolchain finds files only under its root paths: the prefix is one.
list(APPEND CMAKE_FIND_ROOT_PATH "${PLUMBRICK_WEB_DEPS}")
set(ENV{PKG_CONFIG_LIBDIR} "${PLUMBRICK_WEB_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

set(PLUMBRICK_JSON_INCLUDE "/usr/include/nlohmann" CACHE PATH "Debian's nlohmann-json headers (nlohmann-json3-dev)")
if(NOT EXISTS "${PLUMBRICK_JSON_INCLUDE}/json.hpp")
  message(FATAL_ERROR "nlohmann/json.hpp not found in ${PLUMBRICK_JSON_INCLUDE}: install nlohmann-json3-dev")
endif()
set(json_dir "${CMAKE_BINARY_DIR}/json-include")
file(MAKE_DIRECTORY "${json_dir}")
file(CREATE_LINK "${PLUMBRICK_JSON_INCLUDE}" "${json_dir}/nlohmann" SYMBOLIC)
add_library(plumbrick_json INTERFACE)
target_include_directories(plumbrick_json SYSTEM INTERFACE "${json_dir}")
add_library(nlohmann_json::nlohmann_json ALIAS plumbrick_json)

# C++ exceptions are caught (the guarded readers throw on bad files); emscripten turns catching off by default.
# WebAssembly's own exceptions, not emscripten's JavaScript ones: with those, every call that might throw went
# out to JavaScript and back (its invoke_ wrappers), which made the program's start several times slower.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions)

# Compiled for speed: the program's start is most of a second visit's wait for its first frame, and -O2 makes the
# compressed .wasm only some 20 KB larger than -Oz.
add_compile_options(-O2)
