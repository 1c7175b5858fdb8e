// The entry point the program resolves after loading this module.
#include "net/NetworkTransfer.h"

extern "C" Q_DECL_EXPORT Transfer* nimbrel_create_transfer()
{
    return new NetworkTransfer;
}
