#pragma once

#if defined(OSTRAKON_BUILD)
#define OSTRAKON_EXPORT __attribute__((visibility("default")))
#else
#define OSTRAKON_EXPORT
#endif

// The three exports of the schema helper library; the program calls them once
// at start-up, in this order, without arguments.
extern "C" {
OSTRAKON_EXPORT int InitialOstrakon();
OSTRAKON_EXPORT int QuillmerUpdateDatabase();
OSTRAKON_EXPORT int ClrOstrakon();
}
