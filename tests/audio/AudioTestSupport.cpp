#include "AudioTestSupport.h"

#include "audio/SoundFileReader.h"

#include <algorithm>
#include <array>
#include <exception>

namespace wellenschau::test {

bool TTestApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QCoreApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        HandlerErrors.emplace_back(error.what());
        return false;
    }
}

std::vector<std::int16_t> ReadSamples(const std::string& path) {
    TSoundFileReader reader(path);
    std::vector<std::int16_t> samples;
    std::array<std::int16_t, 4096> piece{};
    for (int count; (count = reader.Read(piece.data(), static_cast<int>(piece.size()))) > 0;)
        samples.insert(samples.end(), piece.begin(), piece.begin() + count);
    return samples;
}

TTestApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "test_audio";
    static char* argv[] = {name, nullptr};
    static TTestApplication application(argc, argv);
    return application;
}

HGLOBAL TFailingGlobalMemory::GlobalAlloc(unsigned flags, std::size_t bytes) {
    if (FAllocFailCountdown > 0 && --FAllocFailCountdown == 0) {
        if (FAllocFailPersistent) FAllocFailCountdown = 1;
        return 0;
    }
    const HGLOBAL block = FPlain.GlobalAlloc(flags, bytes);
    FLive.insert(block);
    FSizes.emplace_back(block, bytes);
    ++FAllocations;
    return block;
}

void* TFailingGlobalMemory::GlobalLock(HGLOBAL block) {
    if (FLockFailCountdown > 0 && --FLockFailCountdown == 0) return nullptr;
    FLocked.insert(block);
    return FPlain.GlobalLock(block);
}

void TFailingGlobalMemory::GlobalUnlock(HGLOBAL block) {
    FLocked.erase(block);
    FPlain.GlobalUnlock(block);
}

void TFailingGlobalMemory::GlobalFree(HGLOBAL block) {
    FLive.erase(block);
    std::erase_if(FSizes, [&](const auto& entry) { return entry.first == block; });
    FPlain.GlobalFree(block);
}

void TFailingGlobalMemory::FailAllocation(int nth, bool persistent) {
    FAllocFailCountdown = nth;
    FAllocFailPersistent = persistent;
}

void TFailingGlobalMemory::FailLock(int nth) { FLockFailCountdown = nth; }

std::size_t TFailingGlobalMemory::SizeOf(const void* address) const {
    const auto found = std::find_if(FSizes.begin(), FSizes.end(), [&](const auto& entry) {
        return reinterpret_cast<const void*>(entry.first) == address;
    });
    return found == FSizes.end() ? 0 : found->second;
}

}  // namespace wellenschau::test
