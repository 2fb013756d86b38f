#pragma once
#include "app/window_system.hpp"

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
