#include "audio/ServerSources.h"

#include <pulse/pulseaudio.h>

#include <QMetaObject>

#include <algorithm>
#include <chrono>

namespace wellenschau {

namespace {

using namespace std::chrono_literals;

// How long Connect waits for the server's first answer; only a hung server
// takes that long, one that is not there refuses at once.
constexpr auto ConnectWait = 2s;

std::string Text(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

int TSourceNumbers::NumberOf(const std::string& name) {
    auto known = std::find(FNames.begin(), FNames.end(), name);
    if (known == FNames.end()) known = FNames.insert(FNames.end(), name);
    return static_cast<int>(known - FNames.begin()) + 1;
}

std::optional<std::string> TSourceNumbers::NameOf(int number) const {
    if (number < 1 || number > static_cast<int>(FNames.size())) return std::nullopt;
    return FNames[static_cast<std::size_t>(number - 1)];
}

std::vector<TInputDeviceInfo> SourceDevices(const std::vector<TServerSource>& sources, const std::string& defaultSource,
                                            const std::vector<std::pair<std::uint32_t, std::string>>& outputs,
                                            TSourceNumbers& numbers) {
    std::vector<TInputDeviceInfo> devices;
    for (const TServerSource& source : sources) {
        TInputDeviceInfo device{numbers.NumberOf(source.Name), source.Name, source.Description,
                                source.Name == defaultSource, source.MonitorOf.has_value(), source.Channels};
        const auto output = std::find_if(outputs.begin(), outputs.end(),
                                         [&](const auto& known) { return source.MonitorOf == known.first; });
        if (output != outputs.end()) device.Description = output->second;
        devices.push_back(std::move(device));
    }
    std::sort(devices.begin(), devices.end(), [](const TInputDeviceInfo& a, const TInputDeviceInfo& b) {
        return std::pair{a.IsMonitor, a.Number} < std::pair{b.IsMonitor, b.Number};
    });
    return devices;
}

// One round of questions to the server and what it answered so far.
struct TServerSources::TQuery {
    explicit TQuery(TServerSources* owner) : Owner(owner) {}
    TServerSources* Owner;
    int Pending = 3;  // server information, outputs, sources
    std::string DefaultSource;
    std::vector<std::pair<std::uint32_t, std::string>> Outputs;
    std::vector<TServerSource> Sources;
};

TServerSources::TServerSources() : FMainloop(pa_threaded_mainloop_new()) {
    if (FMainloop != nullptr && pa_threaded_mainloop_start(FMainloop) < 0) {
        pa_threaded_mainloop_free(FMainloop);
        FMainloop = nullptr;
    }
}

TServerSources::~TServerSources() {
    if (FMainloop == nullptr) return;
    pa_threaded_mainloop_lock(FMainloop);
    DropContext();
    pa_threaded_mainloop_unlock(FMainloop);
    pa_threaded_mainloop_stop(FMainloop);
    pa_threaded_mainloop_free(FMainloop);
}

bool TServerSources::Connect() {
    {
        std::lock_guard lock(FLock);
        if (FState == TState::Ready) return true;
    }
    if (FMainloop == nullptr) return false;
    pa_threaded_mainloop_lock(FMainloop);
    DropContext();
    {
        std::lock_guard lock(FLock);
        FState = TState::Connecting;
        FListed = false;
    }
    FContext = pa_context_new(pa_threaded_mainloop_get_api(FMainloop), "Wellenschau");
    if (FContext != nullptr) {
        pa_context_set_state_callback(FContext, &TServerSources::ContextStateChanged, this);
        // Any change of a source, an output or the default asks again.
        pa_context_set_subscribe_callback(
            FContext,
            [](pa_context*, pa_subscription_event_type_t, std::uint32_t, void* self) {
                static_cast<TServerSources*>(self)->Query();
            },
            this);
    }
    const bool started = FContext != nullptr && pa_context_connect(FContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    pa_threaded_mainloop_unlock(FMainloop);
    std::unique_lock lock(FLock);
    if (!started) FState = TState::Failed;
    FChanged.wait_for(lock, ConnectWait, [this] { return FState == TState::Failed || FListed; });
    return FState == TState::Ready && FListed;
}

std::vector<TInputDeviceInfo> TServerSources::Devices() const {
    std::lock_guard lock(FLock);
    return FState == TState::Ready ? FDevices : std::vector<TInputDeviceInfo>{};
}

std::optional<std::string> TServerSources::SourceName(int number) const {
    std::lock_guard lock(FLock);
    if (FState != TState::Ready) return std::nullopt;
    return FNumbers.NameOf(number);
}

bool TServerSources::HasSource(const std::string& name) const {
    std::lock_guard lock(FLock);
    return FState == TState::Ready && std::any_of(FDevices.begin(), FDevices.end(),
                                                  [&](const TInputDeviceInfo& device) { return device.Name == name; });
}

void TServerSources::Watch(QObject& context, std::function<void()> changed) {
    FWatchers.emplace_back(&context, std::move(changed));
}

void TServerSources::NotifyWatchers() {
    std::erase_if(FWatchers, [](const auto& watcher) { return watcher.first.isNull(); });
    // A watcher may add another; the copy keeps the loop valid.
    const auto watchers = FWatchers;
    for (const auto& [context, changed] : watchers)
        if (!context.isNull()) changed();
}

void TServerSources::ContextStateChanged(pa_context* context, void* self) {
    auto& sources = *static_cast<TServerSources*>(self);
    switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            pa_operation_unref(pa_context_subscribe(
                context,
                static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_SINK |
                                                    PA_SUBSCRIPTION_MASK_SERVER),
                nullptr, nullptr));
            sources.Query();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            sources.Publish(TState::Failed, {});
            break;
        default:
            break;
    }
}

void TServerSources::Query() {
    TQuery* query = FQueries.emplace_back(std::make_unique<TQuery>(this)).get();
    pa_operation_unref(pa_context_get_server_info(FContext, &TServerSources::ServerAnswered, query));
    pa_operation_unref(pa_context_get_sink_info_list(FContext, &TServerSources::OutputAnswered, query));
    pa_operation_unref(pa_context_get_source_info_list(FContext, &TServerSources::SourceAnswered, query));
}

void TServerSources::ServerAnswered(pa_context*, const pa_server_info* info, void* query) {
    auto* asked = static_cast<TQuery*>(query);
    if (info != nullptr) asked->DefaultSource = Text(info->default_source_name);
    asked->Owner->Answered(asked);
}

void TServerSources::OutputAnswered(pa_context*, const pa_sink_info* info, int endOfList, void* query) {
    auto* asked = static_cast<TQuery*>(query);
    if (endOfList != 0) {
        asked->Owner->Answered(asked);
    } else {
        asked->Outputs.emplace_back(info->index, Text(info->description));
    }
}

void TServerSources::SourceAnswered(pa_context*, const pa_source_info* info, int endOfList, void* query) {
    auto* asked = static_cast<TQuery*>(query);
    if (endOfList != 0) {
        asked->Owner->Answered(asked);
        return;
    }
    TServerSource source{Text(info->name), Text(info->description), std::nullopt, info->channel_map.channels};
    if (info->monitor_of_sink != PA_INVALID_INDEX) source.MonitorOf = info->monitor_of_sink;
    asked->Sources.push_back(std::move(source));
}

void TServerSources::Answered(TQuery* query) {
    if (--query->Pending > 0) return;
    std::vector<TInputDeviceInfo> devices;
    {
        std::lock_guard lock(FLock);
        devices = SourceDevices(query->Sources, query->DefaultSource, query->Outputs, FNumbers);
    }
    Publish(TState::Ready, std::move(devices));
    std::erase_if(FQueries, [query](const auto& kept) { return kept.get() == query; });
}

void TServerSources::Publish(TState state, std::vector<TInputDeviceInfo> devices) {
    bool changed = false;
    {
        std::lock_guard lock(FLock);
        changed = devices != FDevices || (state == TState::Failed && FState == TState::Ready);
        FDevices = std::move(devices);
        FState = state;
        FListed = FListed || state == TState::Ready;
    }
    FChanged.notify_all();
    if (changed) QMetaObject::invokeMethod(&FNotifier, [this] { NotifyWatchers(); }, Qt::QueuedConnection);
}

void TServerSources::DropContext() {
    if (FContext == nullptr) return;
    pa_context_set_state_callback(FContext, nullptr, nullptr);
    pa_context_set_subscribe_callback(FContext, nullptr, nullptr);
    pa_context_disconnect(FContext);
    pa_context_unref(FContext);
    FContext = nullptr;
    FQueries.clear();
}

TServerSources& ServerSources() {
    static TServerSources sources;
    return sources;
}

}  // namespace wellenschau
