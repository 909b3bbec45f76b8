// soundgen: writes every game sound as <name>.aif into the given folder.
//   soundgen OUTDIR [--stamp FILE]
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "soundgen.h"

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--stamp")) {
        std::cerr << "usage: soundgen OUTDIR [--stamp FILE]\n";
        return 2;
    }
    std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    for (const auto& recipe : soundgen::recipes()) {
        auto bytes = soundgen::aiff(soundgen::synthesise(recipe));
        auto path = out / (recipe.name + ".aif");
        auto tmp = out / (recipe.name + ".aif.tmp");
        {
            std::ofstream f(tmp, std::ios::binary);
            f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            if (!f) {
                std::cerr << "soundgen: cannot write " << path << "\n";
                return 1;
            }
        }
        std::filesystem::rename(tmp, path);
    }
    if (argc == 4) std::ofstream(argv[3]) << "done\n";
    return 0;
}
