#pragma once

void AdvanceFrameClock();
