#include "install/shell_link.h"

// Stand-in: the shortcut maker of the completion step replaces this.
int CreateShellLink(const char*, const char*, const char*, const char*, const char*, char* usedExtension) {
  usedExtension[0] = 0;
  return 1;
}
