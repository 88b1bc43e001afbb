#pragma once

#if defined(OSTRAKON_BUILD)
#define OSTRAKON_EXPORT __attribute__((visibility("default")))
#else
#define OSTRAKON_EXPORT
#endif

// The three exports of the schema helper library; the program calls them once
// at start-up, in this order, without arguments, and looks at no result. The
// library opens its own connections to work/Qrdb.db of the program folder and
// never creates that file.
extern "C" {
// Opens the library's connections: 0 success, 1 the local database could not
// be opened, 2 the main database could not be opened (each after its message).
OSTRAKON_EXPORT int InitialOstrakon();
// Creates ManualFee when it is missing and brings the schema version up to
// date. Does nothing when the connections are not open; a failed step is
// reported and leaves the database as it was.
OSTRAKON_EXPORT void QuillmerUpdateDatabase();
// Closes and destroys the library's connections.
OSTRAKON_EXPORT void ClrOstrakon();
}
