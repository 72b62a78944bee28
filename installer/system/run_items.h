// Starting the programs and documents the package marks for it.
#pragma once

// Starts the current type's entries of run kind `kind`: all of them (pass 0)
// or programs only (pass 1), in the normal run (after 1) or after a restart (0).
void RunItems(int kind, int pass, int after);
// Whether any entry must wait for the run after a restart.
int HasItemsAfterRestart();
