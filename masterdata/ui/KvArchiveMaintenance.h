#pragma once

// The archive maintenance command (维护档案): the find dialog, then the archive
// dialog on the users found (even none), again and again until the find
// dialog is cancelled. The search condition is kept from one pass to the next.
void RunArchiveMaintenance();
