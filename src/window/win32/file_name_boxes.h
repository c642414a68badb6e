#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Saves typing whole paths in a file name box: the shell completes file and folder names as they are typed, and a
// file dragged onto the box from Explorer puts its path there. Needs COM on the window's thread.
void AssistFileNameBox(HWND box);
