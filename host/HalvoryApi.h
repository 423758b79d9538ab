#pragma once
// Symbol visibility of the host bitmap library. On Windows the classes live in Halvory.dll;
// the native build links them statically.
#if defined(_WIN32)
#if defined(HALVORY_BUILDING)
#define HALVORY_API __declspec(dllexport)
#else
#define HALVORY_API __declspec(dllimport)
#endif
#else
#define HALVORY_API
#endif

// HBITMAP exactly as the Windows headers declare it, so that portable code can name the
// type without pulling in <windows.h>.
struct HBITMAP__;
typedef HBITMAP__* HBITMAP;
