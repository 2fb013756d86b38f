#pragma once
#include <istream>

// Reads "postavke.txt" from the working directory into SceneSettings; never throws for any content.
void LoadSettings();
// The parsing half of LoadSettings, for a stream already opened (in text mode) by the caller.
void ReadSettings(std::istream& in);
