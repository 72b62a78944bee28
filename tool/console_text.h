// What the tool prints reaches a Windows console as wide text.
#pragma once

namespace wrenly::tool {

// Standard output and error carry UTF-8. A Windows console shows those bytes
// through its own code page, which is rarely UTF-8, so there each stream that
// is a console is given one that writes wide text; a redirected stream, and
// every stream on Linux, keeps the bytes as they are.
void WideTextToConsoles();

}  // namespace wrenly::tool
