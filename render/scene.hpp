#pragma once

void RenderFrame();
