#include "ClassicApplication.h"

int main(int argc, char** argv) {
    return kestrel::classic::runClassic(argc, argv);
}
