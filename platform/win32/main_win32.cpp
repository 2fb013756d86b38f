// The Windows entry point: the program's entry function with the instance and show command the
// system passes. The previous instance and the command line are not used.
#include "app/main.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  return AppMain(instance, showCommand);
}
