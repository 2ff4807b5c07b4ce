// Resource ids, shared by the resource script and the code that loads them: plain macros, which
// the resource compiler reads too.
#pragma once

// The icon group the window class loads.
#define IDI_NUMPLACE 128
