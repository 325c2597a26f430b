// What the audio tests share: the application object with an error handler
// that records instead of showing a box, and an allocator whose allocations
// and locks can be made to fail. Posted notifications are run with
// RunPostedEvents.
#pragma once

#include "audio/GlobalMemory.h"
#include "support/PostedEvents.h"

#include <QCoreApplication>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace wellenschau::test {

// Catches the program's errors that end an event handler, as the program's
// default error handler does, and keeps their messages.
class TTestApplication : public QCoreApplication {
public:
    TTestApplication(int& argc, char** argv) : QCoreApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;

    std::vector<std::string> HandlerErrors;
};

// The one application object of the test program.
TTestApplication& TestApplication();

// Plain heap blocks; the n-th allocation or lock from now on can be made to
// fail. Counts the blocks that are allocated and not yet freed.
class TFailingGlobalMemory : public TGlobalMemory {
public:
    HGLOBAL GlobalAlloc(unsigned flags, std::size_t bytes) override;
    void* GlobalLock(HGLOBAL block) override;
    void GlobalUnlock(HGLOBAL block) override;
    void GlobalFree(HGLOBAL block) override;

    // 1 = the next call fails; 0 = none fails. Every later call fails too
    // while `persistent` is set.
    void FailAllocation(int nth, bool persistent = false);
    void FailLock(int nth);

    int LiveBlocks() const { return static_cast<int>(FLive.size()); }
    int LockedBlocks() const { return static_cast<int>(FLocked.size()); }
    int Allocations() const { return FAllocations; }
    std::size_t SizeOf(const void* address) const;

private:
    TPlainGlobalMemory FPlain;
    std::set<HGLOBAL> FLive;
    std::set<HGLOBAL> FLocked;
    std::vector<std::pair<HGLOBAL, std::size_t>> FSizes;
    int FAllocFailCountdown = 0;
    bool FAllocFailPersistent = false;
    int FLockFailCountdown = 0;
    int FAllocations = 0;
};

// Every sample of a sound file, as the program reads it.
std::vector<std::int16_t> ReadSamples(const std::string& path);

}  // namespace wellenschau::test
