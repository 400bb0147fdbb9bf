#include "framework/Main.h"

// A program that defines two application objects.
class App : public GLApp {};
App first;
App second;
