// The ClosingPage's own words: it ends every run, finished or cancelled.
#pragma once

inline constexpr char kClosingText[] =
    "<b>This setup program has finished.</b>\r\n\r\n"
    "If the installation was completed, the product is ready to use: start it from its shortcuts or from "
    "its folder.\r\n\r\n"
    "If the installation was cancelled or did not succeed, the files already copied stay where they are, "
    "and you can run this setup program again at any time.\r\n\r\n"
    "Click the button below to close this window.";
static_assert(sizeof kClosingText <= 1000);
