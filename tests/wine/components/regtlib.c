// Stands in for the type-library tool: logs the command line it was given.
#include "log_line.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
  (void)instance, (void)previous, (void)show;
  LogLine(NULL, command);
  return 0;
}
