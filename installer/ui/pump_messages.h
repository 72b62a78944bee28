#pragma once
// Lets pending window messages through during long reads.
void PumpMessages();
