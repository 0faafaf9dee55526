#pragma once
// Control of the interposing library built with the save tests. It stands
// between the program and the C library's fsync, fdatasync, close and
// rename: for files whose path starts with a watched prefix it can make
// fsync and close fail with EIO (the file is still closed), and it notes
// what had happened to a file by the time it was renamed.
//
// The library is linked into the test ahead of the C library, so that its
// functions are the ones every call in the process reaches, as a preloaded
// library's would be.

extern "C" {

// Watch files whose resolved path starts with `prefix` (nullptr: none).
// Starting a watch forgets what earlier ones saw and stops every fault.
void SyscallFaultsWatch(const char *prefix);
// From now on fsync (and fdatasync) or close of a watched file fails with EIO.
void SyscallFaultsFailFsync(int fail);
void SyscallFaultsFailClose(int fail);

// What the last rename of a watched file found: whether the file had been
// flushed to the disk and closed before it. False when none was renamed.
int SyscallFaultsRenamed(int *synced, int *closed);
// How many times a watched file was flushed (successfully or not).
int SyscallFaultsSyncCalls(void);
}
