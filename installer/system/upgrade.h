// An upgrade, a repair or an allowed downgrade: the installed version's
// record is kept aside while this installation writes its own uninstaller
// over it; then the new uninstaller removes what only the old version had,
// so that one uninstall record and one entry stand for the product.
#pragma once
#include "base/setup.h"

// Before any file is written.
void KeepPreviousRecord(Setup& setup);
// After the completion step wrote the new record (setup.uninstallerPath);
// the kept copy goes in any case.
void RemovePreviousVersion(Setup& setup);
