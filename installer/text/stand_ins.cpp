#include "text/link_store.h"

// Stand-in: the rich-text markup's link store replaces this.
void ClearLinkStore() {}
