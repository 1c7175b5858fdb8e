#pragma once

// Gives the calling thread the lowest priority (on Linux, where each thread
// has a nice value of its own; elsewhere it does nothing). For helper threads
// whose work may wait: they then only take a processor nobody else wants.
void LowerThisThreadPriority();
