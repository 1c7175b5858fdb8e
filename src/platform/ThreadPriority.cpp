#include "platform/ThreadPriority.h"

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

void LowerThisThreadPriority()
{
#ifdef __linux__
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
#endif
}
