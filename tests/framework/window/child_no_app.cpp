// A program on the framework that forgot its application object.
#include "framework/Main.h"
