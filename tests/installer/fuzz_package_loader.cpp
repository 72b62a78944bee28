// Arbitrary bytes as a package file: loading must refuse or accept them without
// reading outside what it loaded, and lookups over an accepted package stay inside it.
#include <cstring>

#include "fakes.h"
#include "install/data_area.h"
#include "memory_files.h"
#include "package/package.h"
#include "package/package_model.h"
#include "startup/run_state.h"
#include "text/messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char path[] = "C:\\Setup\\setup.exe";
  MemoryFiles = {{path, std::make_shared<MemoryFile>(MemoryFile{{data, data + size}})}};
  for (int resume : {0, 1}) {
    ResetRunState(), ResetFakes(), ResetDataArea(), AllocatePathBuffers();
    Options.resumeType = resume;
    std::strcpy(OwnPath, path);
    if (LoadPackage()) {
      for (int t = -1; t <= ThePackage.typeCount; ++t) {
        SelectInstallType(t);
        for (int list = -1; list <= 10; ++list)
          for (uint16_t item = 0; item < 40; ++item) (void)std::strlen(GetMessageText(list, item));
      }
      FreePackage();
    }
    FreePathBuffers();
  }
  MemoryFiles.clear(), ResetFakes();  // within the execution, which libFuzzer checks for leaks
  return 0;
}
