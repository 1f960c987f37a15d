// Membership in the clipboard viewer chain and the announcement of a prime
// found in a copied text.
#pragma once

#include <windows.h>

// Creation: set the skip flag, join the chain, start the 30-second rejoin timer.
void joinClipboardChain(HWND window);

// Shutdown: stop the rejoin timer and leave the chain.
void leaveClipboardChain(HWND window);

// WM_DRAWCLIPBOARD: pass it on, then look for a prime and announce it.
void handleClipboardChange(HWND window, WPARAM wParam, LPARAM lParam);

// WM_CHANGECBCHAIN: repair the link to the next viewer or pass the change on.
void handleClipboardChainChange(WPARAM leaving, LPARAM following);

// WM_TIMER with TIMER_REJOIN: leave the chain and join it again at its head.
void rejoinClipboardChain(HWND window);
