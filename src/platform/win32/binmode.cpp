// Files open in binary mode unless asked otherwise, as on Linux: the tool's
// traces and hashes, the logs and the saves have the same bytes on both.
// The C runtime's start-up code copies this variable into its own default
// before anything runs; it takes this definition over the library's text-mode
// one. (The binmode.o that mingw-w64 10 ships is empty: linking it changed
// nothing, and every "w" file got CR LF line ends.)
#include <fcntl.h>
#include <stdlib.h>

#undef _fmode
extern "C" {
int _fmode = _O_BINARY;
}
