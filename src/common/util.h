// Small arithmetic helpers.
#pragma once

int UTIL_Clamp(int low, int value, int high);
int UTIL_Triangle(int a, int b);
