// The framework's entry point: the program's application object does the rest.
#include "framework/Main.h"

int main(int argc, char** argv) {
    GLAppRegistry::Instance()->consoleMode = true;
    return GLAppRegistry::Instance()->Run(argc, argv);
}
