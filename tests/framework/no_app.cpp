// A program on the framework without an application object.
