#pragma once

// The viewer calls exports and the packet callback with the Windows standard
// calling convention. Native test builds have no such convention.
#if defined(_WIN32)
#define ZP_STDCALL __stdcall
#else
#define ZP_STDCALL
#endif
