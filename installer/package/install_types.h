// Installation types: their initial folders and the background choice.
#pragma once
#include <stdint.h>

#include "base/package_model.h"
#include "base/setup.h"

// Leaves the type's initial folder in InstallFolder (setup.tempPath is scratch).
void DetectPreviousFolder(Setup& setup, const InstallTypeSlot* type);
// Rewrites a path (at most 260 bytes) in place with every component spelt as
// stored on disk; unchanged when any component cannot be found.
void MatchPathCase(char* path);
// Index of the validated BackgroundVariantList's entry that suits the
// screen, or -1.
int ChooseBackgroundVariant(const uint8_t* list);
// Ends the page sequence (12 bytes) with the closing page.
void ClosePageSequence(uint8_t* sequence);
