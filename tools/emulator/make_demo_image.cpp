// Writes the demo radio's memory image: make_demo_image OUTPUT
#include <iostream>

#include "emulator/demo_image.h"
#include "emulator/radio_emulator.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_demo_image OUTPUT\n";
        return 2;
    }
    try {
        tqm5::emu::RadioMemory memory;
        memory.assign(tqm5::emu::demoImage());
        memory.save(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "make_demo_image: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
