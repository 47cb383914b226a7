#include "Application.h"

int main(int argc, char** argv) {
    return kestrel::browser::qt::runKestrelscope(argc, argv);
}
