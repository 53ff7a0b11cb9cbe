// The tests' fault injection (plt_file.h), as the file backends of every
// system consult it: each operation is counted here, and here is decided
// whether it is the one armed to fail.
#pragma once

enum PltFaultOp { PLT_FAULT_OPEN, PLT_FAULT_FSYNC, PLT_FAULT_RENAME };

// Counts one open, fsync or rename; true when it is the one armed to fail.
// An open or rename that goes ahead first calls the armed hook with its
// host path (the rename's from its temporary name).
bool PLT_FaultHit(PltFaultOp op, const char* host);

enum PltFaultWrite { PLT_WRITE_WHOLE, PLT_WRITE_FAIL, PLT_WRITE_HALF };
// Counts one write call and says what it does: goes ahead, fails, or stores
// half its bytes (and arms the next write to fail, as a disk that fills up).
PltFaultWrite PLT_FaultWrite();
