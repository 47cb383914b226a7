#include <iostream>

#include "Invocation.h"

int main(int argc, char** argv) {
    return nwdir::runNwdir(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
