// TLookBack: the last minutes of the live instrument, kept while the
// analyser view is shown, and any kept buffer shown again exactly as it
// was shown live. It keeps every buffer the live instrument handles in a
// TSoundHistory (samples and spectrogram column) and, every
// CheckpointInterval buffers and whenever a setting changed, a checkpoint:
// the settings and the state the instrument carries from buffer to buffer
// (TInstrument::SaveState). To show buffer N, a second instrument of its
// own takes the checkpoint before N and analyses the buffers from there to
// N again. Not carried, and so not as live: the averaged spectrum and
// distortion figures (they average the buffers from the checkpoint on), a
// Normal or Single sweep's trace held from before the checkpoint, the live
// trace between buffers (the buffer's own sweep shows). Keeping a buffer copies and allocates nothing; the room for the
// whole length is reserved once and touched as it fills.
// User-interface thread only.
#pragma once

#include "Instrument.h"
#include "analysis/SoundHistory.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace wellenschau {

// How many minutes the analyser view keeps: the range and the start.
inline constexpr double LeastHistoryMinutes = 0.1;
inline constexpr double MostHistoryMinutes = 60.0;
inline constexpr double DefaultHistoryMinutes = 10.0;

class TLookBack final : public TBufferKeeper {
public:
    // Buffers between two checkpoints: at most this many are analysed
    // again to show a buffer.
    static constexpr int CheckpointInterval = 16;

    // Keeps `minutes` of the live instrument's buffers of `channels`
    // channels (1 or 2, as the live instrument gets them) from now on.
    TLookBack(TInstrument& live, double minutes, int channels);
    ~TLookBack();
    TLookBack(const TLookBack&) = delete;
    TLookBack& operator=(const TLookBack&) = delete;

    const TSoundHistory& History() const { return FHistory; }
    // The kept buffers Show can show: from the oldest that has a
    // checkpoint before it with the buffers that checkpoint needs, up to
    // End() - 1. Empty (First() == End()) until then.
    std::int64_t First() const;
    std::int64_t End() const { return FHistory.End(); }

    // Takes from the live instrument what checkpoints leave out: the
    // snapshot, the charts' zoom and look (on Anhalten).
    void Freeze();
    // Shows kept buffer `number` (First() <= number < End(), else
    // ERangeError before anything changes) in Instrument(): trace,
    // spectrum, measurements, sound levels, channel B, as it was shown
    // live.
    void Show(std::int64_t number);
    // The buffer shown last; none before the first Show.
    std::optional<std::int64_t> Shown() const { return FShown; }
    // The instrument that shows kept buffers, made when first asked for.
    TInstrument& Instrument();

    // Bytes reserved for samples, columns and checkpoints at full length.
    std::size_t ReservedBytes() const;

    void BeforeBuffer(const TInstrument& instrument) override;
    void AfterBuffer(const TInstrument& instrument, const char* channelA, const char* channelB, int n) override;

private:
    struct TCheckpoint {
        std::int64_t Buffer = 0;  // the buffer it was taken before
        TInstrumentSettings Settings;
    };

    // The newest checkpoint at or before `number` that Show can start from.
    const TCheckpoint* CheckpointFor(std::int64_t number) const;
    bool Usable(const TCheckpoint& checkpoint) const;
    std::byte* Block(const TCheckpoint& checkpoint);
    TKeptBuffer Kept(std::int64_t number) const;

    TInstrument& FLive;
    TSoundHistory FHistory;
    std::unique_ptr<TInstrument> FLook;  // none until Instrument()
    std::size_t FStateBytes;
    // A ring of checkpoints, oldest first from FOldest, each with its
    // block of FStateBytes in FStates at the same place.
    std::vector<TCheckpoint> FCheckpoints;
    std::unique_ptr<std::byte[]> FStates;  // created without initialising
    int FOldest = 0;
    int FCount = 0;
    unsigned FChangesSeen = 0;
    std::optional<std::int64_t> FShown;
    // The column of the buffer being kept.
    std::vector<std::uint8_t> FColumn;
};

}  // namespace wellenschau
