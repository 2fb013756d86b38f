#pragma once
#include "app/window_system.hpp"

// The entry function: window, start-up guard, message loop, shutdown. Returns the process exit
// code.
int AppMain(HINSTANCE instance, int showCommand);
