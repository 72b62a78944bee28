// The page walk as the loaded package and the run state describe it.
#pragma once
#include "base/setup.h"
#include "ui/page_walk.h"

// The current installation type's sequence, which kinds have a layout, the
// single-page request and the headless option. An empty walk without a type.
WizardWalk CurrentWizardWalk(Setup& setup);
