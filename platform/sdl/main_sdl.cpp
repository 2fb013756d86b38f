#include "app/main.hpp"

int main() { return AppMain(GetModuleHandle(nullptr), SW_SHOWDEFAULT); }
