#include "framework/Main.h"

// The framework's own entry point: console mode, then the main loop of the one application.
int main(int argc, char** argv) {
    GLAppRegistry::Instance()->consoleMode = true;
    return GLAppRegistry::Instance()->Run(argc, argv);
}
