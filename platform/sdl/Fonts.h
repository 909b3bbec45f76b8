#pragma once
// Font files by name, looked up through fontconfig, so that "Helvetica" finds whatever metric twin the
// system has installed.

#include <string>

namespace platform::sdl {

struct FontFile {
    std::string path;   // empty when nothing was found
    int index = 0;      // face index inside a collection file
};

// A font name in the platform's form: a family, optionally followed by "-Bold", "-Oblique", "-BoldOblique"
// ("Helvetica", "Helvetica-Bold"). Results are remembered.
FontFile findFontFile(const std::string& name);

// Fontconfig is handed back at exit, unless another library still holds its caches then (the art library's
// text layout, VectorArt): finishing it under them fails an assertion in fontconfig and aborts the program.
void keepFontconfigAtExit();

}   // namespace platform::sdl
