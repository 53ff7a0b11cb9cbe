// Full-screen play.
#pragma once

// Results of a display change, as the system reports them.
enum : int {
  PLT_DISP_CHANGE_SUCCESSFUL = 0,
  PLT_DISP_CHANGE_RESTART = 1,
  PLT_DISP_CHANGE_FAILED = -1,
  PLT_DISP_CHANGE_BADMODE = -2,
  PLT_DISP_CHANGE_NOTUPDATED = -3,
  PLT_DISP_CHANGE_BADFLAGS = -4,
};

// (640, 480) shows the client area over the whole screen, scaled to fit with
// its shape kept; the menu bar is then drawn over the picture's top rows
// while the mouse is there (moves over it do not reach the client), and
// client coordinates stay those of the 640x480 picture. (-1, -1) returns to
// the window on the desktop. Returns a PLT_DISP_CHANGE_ code.
int PLT_ChangeDisplayMode(int width, int height);
int PLT_IsFullScreen();
