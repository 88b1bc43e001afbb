#pragma once

// The edition this build is, fixed when it is built (CMake option
// QUILLMER_EDITION). The stand-alone edition keeps everything in the database
// file of the program folder; the network edition keeps the business tables on
// a database server that several counters share, and the file only what
// belongs to one counter. This is the one place where the two builds differ;
// the program and the helper library both ask here.
bool KvIsNetworkEdition();
