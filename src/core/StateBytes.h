// Copies of the state an object carries from one buffer to the next, to
// go back to that moment later: a class lists its carried fields once, in
// a template EachState(self, visit), and the three visitors here count
// their bytes, write them into a block and read them back. A field is a
// trivially copyable value, a span of such values, or an object that has
// SaveState, RestoreState and StateBytes of its own. Writing and reading
// allocate nothing.
#pragma once

#include <cstddef>
#include <cstring>
#include <span>
#include <type_traits>

namespace wellenschau {

class TStateCounter {
public:
    template <typename T>
    void operator()(const T& value) {
        if constexpr (requires { value.StateBytes(); }) {
            FBytes += value.StateBytes();
        } else {
            static_assert(std::is_trivially_copyable_v<T>);
            FBytes += sizeof value;
        }
    }
    template <typename T>
    void operator()(std::span<T> values) {
        FBytes += values.size_bytes();
    }
    std::size_t Bytes() const { return FBytes; }

private:
    std::size_t FBytes = 0;
};

class TStateWriter {
public:
    explicit TStateWriter(std::byte* block) : FAt(block) {}
    template <typename T>
    void operator()(const T& value) {
        if constexpr (requires { value.SaveState(*this); }) {
            value.SaveState(*this);
        } else {
            static_assert(std::is_trivially_copyable_v<T>);
            Write(&value, sizeof value);
        }
    }
    template <typename T>
    void operator()(std::span<T> values) {
        Write(values.data(), values.size_bytes());
    }

private:
    void Write(const void* from, std::size_t bytes) {
        std::memcpy(FAt, from, bytes);
        FAt += bytes;
    }
    std::byte* FAt;
};

class TStateReader {
public:
    explicit TStateReader(const std::byte* block) : FAt(block) {}
    template <typename T>
    void operator()(T& value) {
        if constexpr (requires { value.RestoreState(*this); }) {
            value.RestoreState(*this);
        } else {
            static_assert(std::is_trivially_copyable_v<T>);
            Read(&value, sizeof value);
        }
    }
    template <typename T>
    void operator()(std::span<T> values) {
        Read(values.data(), values.size_bytes());
    }

private:
    void Read(void* to, std::size_t bytes) {
        std::memcpy(to, FAt, bytes);
        FAt += bytes;
    }
    const std::byte* FAt;
};

// The three operations for a class TOwner that derives from
// TCarriedState<TOwner>, befriends it and lists its carried fields in a
// static template EachState(self, visit) in its header.
template <typename TOwner>
class TCarriedState {
public:
    std::size_t StateBytes() const {
        TStateCounter counter;
        TOwner::EachState(Owner(), counter);
        return counter.Bytes();
    }
    void SaveState(TStateWriter& writer) const { TOwner::EachState(Owner(), writer); }
    void RestoreState(TStateReader& reader) { TOwner::EachState(static_cast<TOwner&>(*this), reader); }

private:
    const TOwner& Owner() const { return static_cast<const TOwner&>(*this); }
};

}  // namespace wellenschau
