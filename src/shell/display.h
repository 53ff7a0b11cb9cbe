// The screen set-up: the back buffer at the working depth.
#pragma once

int DSP_Setup(int depth);
