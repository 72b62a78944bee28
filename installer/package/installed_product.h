// The version of the product already installed, found by the package's
// identity, and how this package's version compares with it.
#pragma once
#include "base/setup.h"

// Dotted versions, each part compared as a number, then by what follows
// the digits: a part with a suffix ("1.0-beta") comes before the plain one,
// missing parts count as 0 ("1.0" is "1.0.0"). Negative, 0 or positive as
// a comes before, equals or follows b.
int CompareVersions(const char* a, const char* b);

// Fills setup.installed and proposes the installed folder to every type.
// A package without an id looks for nothing: it behaves as before.
void FindInstalledProduct(Setup& setup);
