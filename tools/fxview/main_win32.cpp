// The tool's entry on Windows: a console program, so its lines reach the caller's terminal.
#include "tools/fxview/fxview.hpp"

int main(int argc, char** argv) { return fxview::Main(argc, argv); }
