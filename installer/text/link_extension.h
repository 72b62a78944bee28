#pragma once
// The extension whose handler opens a clicked link: the target's own
// four-character ending (".txt") when it has one, else that of web pages.
const char* LinkExtension(const char* target);
