#include "install/install_run.h"

// The wizard driver owns these; until it exists they are plain variables.
int PageResult;
int PageIndex;
