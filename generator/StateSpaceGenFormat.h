#ifndef STATESPACEGENFORMAT_H
#define STATESPACEGENFORMAT_H

#include "BaseClasses/StandardErrors.h"
#include "generator/PipelineSync.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <ostream>

// The text of doubles in one fixed form, byte for byte as the output streams write
// it: scientific notation with 10 digits after the point (the stream set to
// scientific with precision 10, C's "%.10e") or the stream's default form (6
// significant digits, C's "%g"). std::to_chars with an explicit precision rounds the
// exact binary value as printf does, so the bytes agree; a test pins that.
//
// Formatting a double dominated the writing of large state spaces, yet a model's
// rates and rewards take few distinct values. Each text is therefore kept in a small
// direct-mapped table keyed by the value's bits, and formatted again only when its
// slot was taken by another value.
class NumberText {
  public:
    enum class Form { Scientific10, Default6 };

    // The longest text of either form ("-1.2345678901e-308" has 18 characters);
    // Append needs this much room at its destination.
    static constexpr size_t MaxLength = 24;

    explicit NumberText(Form form) : form(form) {
        for (Slot& s : slots)
            s.length = 0;
    }

    // Writes the text of v at `at` and returns the position after it.
    char* Append(char* at, double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Slot& s = slots[(bits * 0x9E3779B97F4A7C15ULL) >> (64 - SlotBits)];
        if (s.length == 0 || s.bits != bits) {
            s.length = static_cast<uint8_t>(Format(s.text, v) - s.text);
            s.bits = bits;
        }
        std::memcpy(at, s.text, MaxLength);
        return at + s.length;
    }

    // The text of v without the table.
    char* Format(char* at, double v) const {
        if (form == Form::Scientific10)
            return std::to_chars(at, at + MaxLength, v, std::chars_format::scientific, 10).ptr;
        return std::to_chars(at, at + MaxLength, v, std::chars_format::general, 6).ptr;
    }

  private:
    static constexpr int SlotBits = 9;
    struct Slot {
        uint64_t bits;
        uint8_t length; // 0: empty
        char text[MaxLength];
    };

    Form form;
    Slot slots[1 << SlotBits];
};

// Collects the many short lines of an output file and hands them to the stream in
// large pieces: the stream's fixed cost per call (sentry, buffer checks) was a large
// share of the writing. Flush() before using the stream directly (seeking, closing).
class OutputBuffer {
  public:
    explicit OutputBuffer(std::ostream& out)
        : out(out), start(nullptr), at(nullptr), end(nullptr), spare(nullptr), writer(nullptr) {
        start = new (std::nothrow) char[Capacity];
        if (start == nullptr)
            MemoryAllocationError();
        at = start;
        end = start + Capacity;
    }
    ~OutputBuffer() {
        Flush();
        EndHandOff();
        delete[] start;
        delete[] spare;
    }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // A position with room for `n` bytes (n at most Capacity); Commit() the end of
    // what was written there.
    char* Reserve(size_t n) {
        if (static_cast<size_t>(end - at) < n)
            Flush();
        return at;
    }
    void Commit(char* to) { at = to; }

    // From now on a full buffer is handed to the other thread of `sync`, which writes
    // it while this one fills a second buffer. The bytes reach the stream in the
    // same order.
    void HandOffTo(PipelineSync* sync) {
        if (spare == nullptr) {
            spare = new (std::nothrow) char[Capacity];
            if (spare == nullptr)
                MemoryAllocationError();
        }
        writer = sync;
    }
    // Waits until the other thread has written what it was handed; writes go to the
    // stream directly again.
    void EndHandOff() {
        if (writer == nullptr)
            return;
        writer->WaitUntil(
            [this] { return writer->pendingBytes.load(std::memory_order_acquire) == 0; });
        writer = nullptr;
    }

    void Flush() {
        if (at == start)
            return;
        if (writer != nullptr) {
            EndHandOffOfPrevious();
            writer->pendingOut = &out;
            writer->pendingData = start;
            writer->pendingBytes.store(static_cast<size_t>(at - start), std::memory_order_release);
            char* filled = start;
            start = spare;
            spare = filled;
            end = start + Capacity;
        } else {
            out.write(start, at - start);
        }
        at = start;
    }

    static constexpr size_t Capacity = 1 << 20;

  private:
    std::ostream& out;
    char* start;
    char* at;
    char* end;
    char* spare;          // the buffer the other thread may be writing
    PipelineSync* writer; // while set, full buffers are handed over

    void EndHandOffOfPrevious() {
        writer->WaitUntil(
            [this] { return writer->pendingBytes.load(std::memory_order_acquire) == 0; });
    }
};

#endif
