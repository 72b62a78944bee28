/* Start-up hooks of mingw's C runtime that these programs have no use for,
   defined here so that the runtime's own are not linked (about 4.5 kB of
   each program):
   - the relocator of auto-imported data: the programs link with
     --disable-auto-import, so no such data can exist;
   - the math-error hooks: nothing here calls the math library. */
#include <windows.h>

void _pei386_runtime_relocator(void) {}

int _matherr(void* error) {
  (void)error;
  return 0;
}

void __mingw_setusermatherr(int (*handler)(void*)) { (void)handler; }
