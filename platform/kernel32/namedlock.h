// The cross-process half of a named mutex: a lock file in the runtime folder.
//
// Byte 0 of the file is the mutex itself (held exclusively by the owner). Byte 1 tells who
// has the mutex open: every process holding a handle keeps a shared lock on it, so a process
// that can lock it exclusively knows it is the first. Locks belong to the open file, so they
// vanish when a process ends however it ends, and an abandoned mutex never stays locked.
#pragma once

#include "handles.h"

#include <memory>
#include <string>

class NamedLock {
public:
    // Opens the lock for `name`; `existed` tells whether another process has it open. When it
    // did not and `ownIfFirst` is set, the lock is returned acquired, before anyone can see it.
    // Returns nullptr (with the last error set) when the lock file cannot be opened.
    static std::unique_ptr<NamedLock> open(const std::u16string& name, bool ownIfFirst, bool& existed);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    bool acquire(const Deadline& deadline);
    void release();

private:
    explicit NamedLock(int fd) : fd_(fd) { }
    int fd_;
};
