// The capture sources of a PulseAudio-compatible sound server (PulseAudio,
// or PipeWire's PulseAudio service), listed and followed through the
// server's client library. Private to the audio room: the rest of the
// program sees them through InputDevices.h.
//
// The library runs its own thread, which receives the server's answers and
// change events and publishes each new list under a lock. Connect, the
// queries and Watch are for the user-interface thread; watchers are called
// there, through a queued call, when the published list changes.
#pragma once

#include "audio/InputDevices.h"

#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct pa_context;
struct pa_server_info;
struct pa_sink_info;
struct pa_source_info;
struct pa_threaded_mainloop;

namespace wellenschau {

// One capture source as the server reports it.
struct TServerSource {
    std::string Name;
    std::string Description;
    // The monitor of an output: the index of the output it monitors.
    std::optional<std::uint32_t> MonitorOf;
    int Channels = 0;
};

// Gives each source name a number of its own, from 1 on, kept when the
// source goes and comes back, so that a choice stays put while sources
// come and go.
class TSourceNumbers {
public:
    int NumberOf(const std::string& name);
    // The name that has `number`; nothing for a number not given out.
    std::optional<std::string> NameOf(int number) const;

private:
    std::vector<std::string> FNames;
};

// The sources as devices: numbered, the inputs before the monitors, each
// group in the order of its numbers, the server's default marked. A
// monitor is described by the output it monitors where that is known
// (`outputs`: index and description).
std::vector<TInputDeviceInfo> SourceDevices(const std::vector<TServerSource>& sources, const std::string& defaultSource,
                                            const std::vector<std::pair<std::uint32_t, std::string>>& outputs,
                                            TSourceNumbers& numbers);

class TServerSources {
public:
    TServerSources();
    ~TServerSources();
    TServerSources(const TServerSources&) = delete;
    TServerSources& operator=(const TServerSources&) = delete;

    // Connects unless connected and waits (at most ConnectWait) for the
    // first list; true while a server answers.
    bool Connect();
    // The server's sources as devices; empty without a server.
    std::vector<TInputDeviceInfo> Devices() const;
    // The source that has device number `number` while the server answers.
    std::optional<std::string> SourceName(int number) const;
    // Whether the source `name` is there now (never without a server).
    bool HasSource(const std::string& name) const;
    void Watch(QObject& context, std::function<void()> changed);

private:
    struct TQuery;
    enum class TState { Unconnected, Connecting, Ready, Failed };

    // Library thread: the context's state changed; answers to a query.
    static void ContextStateChanged(pa_context* context, void* self);
    static void ServerAnswered(pa_context* context, const pa_server_info* info, void* query);
    static void OutputAnswered(pa_context* context, const pa_sink_info* info, int endOfList, void* query);
    static void SourceAnswered(pa_context* context, const pa_source_info* info, int endOfList, void* query);
    // Library thread: asks for the server's default, outputs and sources.
    void Query();
    // Library thread: one answer of `query` is complete.
    void Answered(TQuery* query);
    // Library thread: makes `devices` the list, telling the watchers when
    // it differs.
    void Publish(TState state, std::vector<TInputDeviceInfo> devices);
    // Drops the context and the queries it still has; the library's lock held.
    void DropContext();
    void NotifyWatchers();

    pa_threaded_mainloop* FMainloop = nullptr;
    pa_context* FContext = nullptr;            // the library's lock
    std::list<std::unique_ptr<TQuery>> FQueries;  // the library's lock

    mutable std::mutex FLock;
    std::condition_variable FChanged;
    TState FState = TState::Unconnected;  // FLock
    bool FListed = false;                 // FLock: a list came since the connect
    std::vector<TInputDeviceInfo> FDevices;  // FLock
    TSourceNumbers FNumbers;                 // FLock

    // Receives the queued calls that tell the watchers; user-interface thread.
    QObject FNotifier;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> FWatchers;
};

// The program's one connection to the server, made on first use.
TServerSources& ServerSources();

}  // namespace wellenschau
