// The walk over an installation type's page sequence: which page comes after
// a page's result. The window code supplies the pages; this decides the order.
#pragma once
#include <stdint.h>

#include "base/codes.h"

struct PageSequence {
  const uint8_t* kinds;  // page kinds ended by 0xFF
  uint32_t size;         // bytes that may be read
  uint32_t layoutMask;   // bit k set: kind k has a PageLayout
};

// A kind can be shown when it has a page procedure (0..6, 10) and a layout.
bool IsShowablePageKind(const PageSequence& sequence, int kind);
// The kind at `index`, or -1 at the end marker, before the start or past the bytes.
int PageKindAt(const PageSequence& sequence, int index);

struct WizardWalk {
  PageSequence sequence;
  bool singlePageMode;
  int singlePageKind;
  bool headlessInstall;  // the type installs without a progress page
};

struct WizardWalkHooks {
  void* context;
  // Shows a page of `kind` and returns its result. The page may move
  // *pageIndex itself (the completion step jumps to the FinishPage).
  int (*showPage)(void* context, int kind);
  // Installs everything without a page; may move *pageIndex and set the result code.
  void (*installHeadless)(void* context);
  // The installation's result code so far (0: no failure).
  int (*resultCode)(void* context);
};

// Runs the wizard to its end. *currentKind holds the kind being shown and
// -1 once the walk is over. Kinds that cannot be shown are passed over in
// the direction of travel; a Cancel with no ClosingPage ahead ends the walk.
void WalkPageSequence(const WizardWalk& walk, const WizardWalkHooks& hooks, int* pageIndex, int* currentKind);
