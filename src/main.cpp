// The game's entry point.
#include "shell/app.h"

int main() {
  return APP_Main();
}
