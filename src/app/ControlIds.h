#pragma once
// The numbers the program's resources and the window menu go by: the
// pictures are built in under these names ("132.png"), and the About
// command of the window menu carries its command number. The controls
// themselves have none: each page holds its own, and assistive tools, the
// tests and the guide's picture tool find them by their accessible names.

namespace tryster::app {

inline constexpr int IDR_MAINFRAME = 128;  // the program icon
inline constexpr int IDB_STEP0 = 132;      // the welcome picture
inline constexpr int IDB_TITLE = 180;      // the splash picture

// The window menu's About command.
inline constexpr int IDM_ABOUTBOX = 0x0010;

}  // namespace tryster::app
