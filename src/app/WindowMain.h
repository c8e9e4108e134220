#pragma once

// The window's entry, in a module of its own (velmor-window.so) so that the command-line
// speaker does not load the window's libraries. main() has already answered the options that
// need no window.
extern "C" int velmorWindowMain(int argc, char* argv[]);

// What main() looks the entry up by.
inline constexpr char kWindowEntry[] = "velmorWindowMain";
