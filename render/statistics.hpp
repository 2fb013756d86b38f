#pragma once

void DrawStatistics();
