#include "KvEdition.h"

// The build defines QUILLMER_NETWORK_EDITION for this file alone.
bool KvIsNetworkEdition()
{
#if defined(QUILLMER_NETWORK_EDITION)
    return true;
#else
    return false;
#endif
}
