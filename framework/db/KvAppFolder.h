#pragma once

#include <QString>

// Where the program folder is when nothing overrides it: the folder named by
// QUILLMER_APPDIR when set, else the folder of the executable; never the current
// directory. Kept beside the database layer because the program and the helper
// library both find their database from it.
QString KvDefaultAppDirectory();
