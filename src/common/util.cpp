// Small arithmetic helpers.
#include "common/util.h"

int UTIL_Clamp(int low, int value, int high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

int UTIL_Triangle(int a, int b) {
  if (b <= 0) return 0;
  int r = a % (2 * b);
  return r < b ? r : 2 * b - r;
}
