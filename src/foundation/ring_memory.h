// A ring of the most recent values: adding to a full ring drops the oldest.
#pragma once

#include <cstdint>

namespace Qorm::Data {

// Holds up to Capacity values of type T; newest() and pop() answer Empty
// when the ring holds nothing. One slot more than the capacity is kept so
// that head == tail means empty.
template <typename T, T Empty, int Capacity> class RingMemory {
    static_assert(Capacity > 0 && Capacity < INT16_MAX, "head and tail are 16-bit positions");

public:
    static constexpr int SlotCount = Capacity + 1;

    // Called by forEach once per held value with the caller's argument.
    class EachFuncBase {
    public:
        virtual bool operator()(T* value, void* argument) = 0;

    protected:
        ~EachFuncBase() = default;
    };

    RingMemory() = default;
    RingMemory(const RingMemory&) = default;
    RingMemory& operator=(const RingMemory&) = default;
    virtual ~RingMemory() = default;

    void add(T value)
    {
        tail_ = next(tail_);
        if (tail_ == head_)
            head_ = next(head_);
        slots_[tail_] = value;
    }

    // Removes and returns the newest value.
    T pop()
    {
        if (isEmpty())
            return Empty;
        const T value = slots_[tail_];
        tail_ = previous(tail_);
        return value;
    }

    T newest() const { return isEmpty() ? Empty : slots_[tail_]; }
    void clear() { head_ = tail_ = 0; }
    int count() const { return (tail_ - head_ + SlotCount) % SlotCount; }
    bool isEmpty() const { return head_ == tail_; }

    // Calls the function on every held value, oldest first unless
    // newestFirst; returns how many calls answered true.
    int forEach(EachFuncBase& function, void* argument, bool newestFirst)
    {
        const int held = count();
        int accepted = 0;
        for (int i = 0; i < held; ++i) {
            const int offset = newestFirst ? held - 1 - i : i;
            if (function(&slots_[(head_ + 1 + offset) % SlotCount], argument))
                ++accepted;
        }
        return accepted;
    }

private:
    static std::int16_t next(std::int16_t position)
    {
        return static_cast<std::int16_t>(position + 1 == SlotCount ? 0 : position + 1);
    }
    static std::int16_t previous(std::int16_t position)
    {
        return static_cast<std::int16_t>(position == 0 ? SlotCount - 1 : position - 1);
    }

    T slots_[SlotCount] = {};
    std::int16_t head_ = 0;
    std::int16_t tail_ = 0;
};

} // namespace Qorm::Data
