// A program on the framework with two application objects.
#include "framework/Main.h"

namespace {

class App : public GLApp {};

App first;
App second;

}  // namespace
