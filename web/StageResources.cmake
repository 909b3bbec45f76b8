# cmake -DFROM=<native resources> -DFONTS=<Liberation folder> -DTO=<folder> -P StageResources.cmake
# Copies what the page loads: the 2x pictures only (a picture found only at 2x stands in for its 1x name), the
# sounds, the layouts, Liberation Sans, and the art's masters with their recipes (the page draws the pictures
# from them at a canvas of more than 2 pixels a point).
if(NOT EXISTS "${FROM}/layouts")
  message(FATAL_ERROR "no built resources in ${FROM}: build the native resources first")
endif()
file(REMOVE_RECURSE "${TO}")
file(MAKE_DIRECTORY "${TO}/layouts" "${TO}/fonts")
file(GLOB pictures "${FROM}/*@2x.png")
file(GLOB sounds "${FROM}/*.aif" "${FROM}/*.aiff" "${FROM}/*.wav")
file(GLOB layouts "${FROM}/layouts/*.json")
if(NOT pictures OR NOT sounds OR NOT layouts)
  message(FATAL_ERROR "incomplete resources in ${FROM}")
endif()
file(COPY ${pictures} DESTINATION "${TO}")
# Browsers decode no AIFF: each sound is staged as WAV instead (Debian's sox converts it, samples unchanged),
# which the program takes where it finds no AIFF (initSound).
find_program(SOX sox)
if(NOT SOX)
  message(FATAL_ERROR "sox not found: install sox")
endif()
foreach(sound IN LISTS sounds)
  get_filename_component(stem "${sound}" NAME_WE)
  execute_process(COMMAND "${SOX}" "${sound}" -t wav "${TO}/${stem}.wav" RESULT_VARIABLE failed ERROR_VARIABLE why)
  if(failed)
    message(FATAL_ERROR "sox could not convert ${sound}: ${why}")
  endif()
endforeach()
file(COPY ${layouts} DESTINATION "${TO}/layouts")
file(GLOB art "${FROM}/art/*.svg" "${FROM}/art/*.recipes")
if(NOT art)
  message(FATAL_ERROR "no art masters in ${FROM}/art")
endif()
file(COPY ${art} DESTINATION "${TO}/art")
foreach(face Regular Bold)
  if(NOT EXISTS "${FONTS}/LiberationSans-${face}.ttf")
    message(FATAL_ERROR "LiberationSans-${face}.ttf not in ${FONTS}: install fonts-liberation")
  endif()
  file(COPY "${FONTS}/LiberationSans-${face}.ttf" DESTINATION "${TO}/fonts")
endforeach()

# The pictures made smaller, two at a time, for a first visit's wire (a PNG's own compression leaves nothing
# for a host's to take): Debian's pngquant makes each a palette picture where it keeps a quality of at least
# 90 (of 100; the flat art shows no difference at the page's size), and optipng recompresses the rest
# losslessly, a quarter smaller.
find_program(PNGQUANT pngquant)
find_program(OPTIPNG optipng)
if(NOT PNGQUANT OR NOT OPTIPNG)
  message(WARNING "pngquant or optipng not found: the pictures are staged as they are")
  return()
endif()
function(each_two_at_a_time files)
  list(JOIN files "\n" list)
  file(WRITE "${TO}.list" "${list}\n")
  execute_process(COMMAND xargs -P 2 -n 16 ${ARGN} INPUT_FILE "${TO}.list" WORKING_DIRECTORY "${TO}")
  file(REMOVE "${TO}.list")
endfunction()
file(GLOB staged_pictures RELATIVE "${TO}" "${TO}/*.png")
# pngquant leaves a picture it cannot keep at that quality as it is (and says so: exit code 99).
each_two_at_a_time("${staged_pictures}" "${PNGQUANT}" --quality 90-100 --speed 3 --skip-if-larger --force
                   --ext .png)
set(unquantized)
foreach(picture IN LISTS staged_pictures)
  file(READ "${TO}/${picture}" colour_type OFFSET 25 LIMIT 1 HEX)
  if(NOT colour_type STREQUAL "03")
    list(APPEND unquantized "${picture}")
  endif()
endforeach()
if(unquantized)
  each_two_at_a_time("${unquantized}" "${OPTIPNG}" -quiet -o2 -strip all)
endif()
# Last, zopfli's deflate in one quick pass (filter 0 suits the palette pictures): 8 % off the pictures, about
# 60 KB off the data package on the wire, for a minute's work on two cores. zopflipng writes a picture only
# where it comes out smaller.
find_program(ZOPFLIPNG zopflipng)
if(ZOPFLIPNG)
  # (No semicolon in the script: CMake would split the command there.)
  each_two_at_a_time("${staged_pictures}" sh -c "for f do\n'${ZOPFLIPNG}' -y --iterations=1 --filters=0 \"$f\" \"$f\" >/dev/null\ndone" sh)
else()
  message(WARNING "zopflipng not found: the pictures are staged without zopfli's pass")
endif()
