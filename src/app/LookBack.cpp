#include "LookBack.h"

#include "analysis/Spectrogram.h"
#include "core/Errors.h"

#include <array>

namespace wellenschau {

namespace {

// Checkpoints beyond one per CheckpointInterval, for changes of settings.
constexpr int SpareCheckpoints = 64;

// Shows the other chart's zoom: the range of each axis.
void CopyRange(const TChartAxis& from, TChartAxis& to) { to.SetMinMax(from.Minimum(), from.Maximum()); }

}  // namespace

TLookBack::TLookBack(TInstrument& live, double minutes, int channels)
    : FLive(live),
      FHistory(TSoundHistory::CapacityFor(minutes, live.Analysis().SampleRate), channels, live.Analysis().RowCount),
      FStateBytes(live.StateBytes()),
      FCheckpoints(static_cast<std::size_t>(FHistory.Capacity() / CheckpointInterval + SpareCheckpoints)),
      FStates(new std::byte[FCheckpoints.size() * FStateBytes]),
      FColumn(static_cast<std::size_t>(live.Analysis().RowCount)) {
    FLive.SetKeeper(this);
}

TLookBack::~TLookBack() { FLive.SetKeeper(nullptr); }

std::size_t TLookBack::ReservedBytes() const {
    return FHistory.ReservedBytes() + FCheckpoints.size() * (FStateBytes + sizeof(TCheckpoint));
}

void TLookBack::BeforeBuffer(const TInstrument& instrument) {
    const std::int64_t number = FHistory.End();
    const std::size_t size = FCheckpoints.size();
    const std::size_t newest = (static_cast<std::size_t>(FOldest) + static_cast<std::size_t>(FCount) + size - 1) % size;
    const bool due = FCount == 0 || number - FCheckpoints[newest].Buffer >= CheckpointInterval ||
                     instrument.Changes() != FChangesSeen;
    if (!due) return;
    // The channels make the state's size; the view keeps anew when they change.
    if (instrument.StateBytes() != FStateBytes) throw ERangeError();
    std::size_t slot = newest;
    // A buffer whose handling failed leaves its checkpoint to the next one.
    if (FCount == 0 || FCheckpoints[newest].Buffer != number) {
        slot = (newest + 1) % size;
        if (FCount < static_cast<int>(size))
            ++FCount;
        else
            FOldest = static_cast<int>((FOldest + 1) % size);
    }
    FCheckpoints[slot] = {number, instrument.Settings()};
    TStateWriter writer(FStates.get() + slot * FStateBytes);
    instrument.SaveState(writer);
    FChangesSeen = instrument.Changes();
}

void TLookBack::AfterBuffer(const TInstrument& instrument, const char* channelA, const char* channelB, int n) {
    // The colour of each row as the spectrogram picture got it.
    const AnalysisState& analysis = instrument.Analysis();
    for (std::size_t row = 0; row < FColumn.size(); ++row)
        FColumn[row] = static_cast<std::uint8_t>(LevelColourIndex(analysis.RowLevel[row]));
    FHistory.Add(channelA, channelB, n, FColumn.data());
}

bool TLookBack::Usable(const TCheckpoint& checkpoint) const {
    return checkpoint.Buffer - DistortionRecordBuffers >= FHistory.First() && checkpoint.Buffer < FHistory.End();
}

std::int64_t TLookBack::First() const {
    for (int i = 0; i < FCount; ++i) {
        const TCheckpoint& checkpoint = FCheckpoints[(static_cast<std::size_t>(FOldest + i)) % FCheckpoints.size()];
        if (Usable(checkpoint)) return checkpoint.Buffer;
    }
    return End();
}

const TLookBack::TCheckpoint* TLookBack::CheckpointFor(std::int64_t number) const {
    for (int i = FCount - 1; i >= 0; --i) {
        const TCheckpoint& checkpoint = FCheckpoints[(static_cast<std::size_t>(FOldest + i)) % FCheckpoints.size()];
        if (checkpoint.Buffer <= number && Usable(checkpoint)) return &checkpoint;
    }
    return nullptr;
}

std::byte* TLookBack::Block(const TCheckpoint& checkpoint) {
    return FStates.get() + static_cast<std::size_t>(&checkpoint - FCheckpoints.data()) * FStateBytes;
}

TKeptBuffer TLookBack::Kept(std::int64_t number) const {
    const std::span<const std::int16_t> a = FHistory.Samples(number, 0);
    const char* b = FHistory.Channels() == 2 ? reinterpret_cast<const char*>(FHistory.Samples(number, 1).data()) : nullptr;
    return {reinterpret_cast<const char*>(a.data()), b, static_cast<int>(a.size())};
}

TInstrument& TLookBack::Instrument() {
    if (!FLook) FLook = std::make_unique<TInstrument>();
    return *FLook;
}

void TLookBack::Freeze() {
    Instrument();
    CopyPoints(FLive.SRight, FLook->SRight);
    CopyPoints(FLive.FastLineSeries2, FLook->FastLineSeries2);
    FLook->SetPicturePlaces(FLive.PicturePlaces());
    for (auto [from, to] : {std::pair{&FLive.Chart1, &FLook->Chart1}, std::pair{&FLive.Chart2, &FLook->Chart2},
                            std::pair{&FLive.Chart3, &FLook->Chart3}})
        to->SetPixelRatio(from->PixelRatio());
    CopyRange(FLive.Chart1.BottomAxis(), FLook->Chart1.BottomAxis());
    CopyRange(FLive.Chart1.LeftAxis(), FLook->Chart1.LeftAxis());
    FLook->Chart1.BottomAxis().SetLabelsSeparation(FLive.Chart1.BottomAxis().LabelsSeparation());
}

void TLookBack::Show(std::int64_t number) {
    const TCheckpoint* checkpoint = CheckpointFor(number);
    if (checkpoint == nullptr || number >= End()) throw ERangeError();
    Instrument();
    FLook->ApplySettings(checkpoint->Settings);
    // A kept buffer shows its own sweep, not the live trace between
    // buffers; a sweep holding a trace from before the checkpoint shows none.
    FLook->Scope.SetLive(false);
    FLook->FastLineSeries1.ClearPoints();
    FLook->Scope.TraceB.ClearPoints();
    std::array<TKeptBuffer, DistortionRecordBuffers> earlier{};
    for (int i = 0; i < DistortionRecordBuffers; ++i)
        earlier[static_cast<std::size_t>(i)] = Kept(checkpoint->Buffer - DistortionRecordBuffers + i);
    TStateReader reader(Block(*checkpoint));
    FLook->RestoreState(reader, earlier);
    for (std::int64_t buffer = checkpoint->Buffer; buffer <= number; ++buffer) {
        const TKeptBuffer kept = Kept(buffer);
        FLook->HandleBuffer(kept.A, 2 * kept.Samples, kept.B);
    }
    FShown = number;
}

}  // namespace wellenschau
