// tr4demo OUTPUT: writes the demo level to OUTPUT.
#include <exception>
#include <fstream>
#include <iostream>

#include "tools/tr4demo/DemoLevel.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tr4demo OUTPUT.tr4\n";
        return 2;
    }
    try {
        const std::vector<uint8_t> image = WriteLevelFile(MakeDemoLevel());
        std::ofstream out(argv[1], std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        out.close();
        if (!out) {
            std::cerr << "tr4demo: cannot write " << argv[1] << '\n';
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "tr4demo: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
