#include "Ostrakon.h"

// The schema work lands with the helper library's own issue.
int InitialOstrakon()
{
    return 1;
}

int QuillmerUpdateDatabase()
{
    return 1;
}

int ClrOstrakon()
{
    return 1;
}
