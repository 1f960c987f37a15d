// Process entry: everything happens in runApplication.
#include <windows.h>

#include "shell/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    return runApplication(instance, previous, commandLine, showCommand);
}
