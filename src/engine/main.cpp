#include "engine/Startup.h"

int main(int argc, char** argv) { return EngineMain(argc, argv); }
