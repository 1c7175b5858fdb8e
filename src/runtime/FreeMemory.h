#pragma once

// Hands the free pages at the top and in the middle of the heap back to the
// system. The allocator keeps what the program freed for later use; after a
// page is loaded that is megabytes the program no longer needs.
void GiveBackFreeMemory();
