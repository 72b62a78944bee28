// The libbzip2 that wrenly.exe links is built without stdio (BZ_NO_STDIO),
// so its internal-error hook is ours. It ends the program as the library's
// own hook does on Linux: such an error is a fault in libbzip2 itself.
#include <cstdio>
#include <cstdlib>

extern "C" void bz_internal_error(int code) {
  std::fprintf(stderr, "wrenly: libbzip2 internal error %d\n", code);
  std::exit(3);
}
