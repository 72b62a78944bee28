// Shortcut files.
#pragma once

// Makes the shortcut folder\name to target. usedExtension (16 bytes) receives
// the extension the file was actually given. 0 when it was made.
int CreateShellLink(const char* folder, const char* name, const char* target, const char* arguments,
                    const char* relativePath, char* usedExtension);
