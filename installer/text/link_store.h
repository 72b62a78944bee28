#pragma once
// Frees the link targets remembered for rich-text controls.
void ClearLinkStore();
