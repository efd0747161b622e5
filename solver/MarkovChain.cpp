#include "solver/MarkovChain.h"

#include "common/ChainFormat.h"
#include "common/TextField.h"
#include "solver/LineReader.h"
#include "solver/RateMatrixBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Quoted(std::string_view text) {
    constexpr size_t kShown = 40;
    std::string s(text.substr(0, kShown));
    if (text.size() > kShown)
        s += "...";
    return "\"" + s + "\"";
}

bool Blank(std::string_view line) {
    return TextField::Trim(line).empty();
}

// The text of a rate as the text file has it.
std::string ResultText(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10e", rate);
    return text;
}

constexpr const char* kDeterministic =
    "; it cannot be solved as a Markov chain: use the simulator (<model>_sim; sim for the "
    "example) instead";

// A file mapped into memory for reading, unmapped when done.
class Mapping {
  public:
    explicit Mapping(const std::string& path) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw gen::UserError(path + ": cannot open: " + std::strerror(errno));
        struct stat info;
        if (fstat(fd, &info) != 0) {
            const int error = errno;
            close(fd);
            throw gen::UserError(path + ": cannot open: " + std::strerror(error));
        }
        size_ = static_cast<uint64_t>(info.st_size);
        if (size_ > 0) {
            void* p = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
            if (p == MAP_FAILED) {
                const int error = errno;
                close(fd);
                throw gen::UserError(path + ": cannot read: " + std::strerror(error));
            }
            data_ = static_cast<const unsigned char*>(p);
            // Read once, front to back.
            madvise(p, size_, MADV_SEQUENTIAL);
        }
        close(fd);
    }
    ~Mapping() {
        if (data_ != nullptr)
            munmap(const_cast<unsigned char*>(data_), size_);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;

    const unsigned char* Data() const { return data_; }
    uint64_t Size() const { return size_; }

  private:
    const unsigned char* data_ = nullptr;
    uint64_t size_ = 0;
};

template <class T> T Load(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

} // namespace

MarkovChain MarkovChain::Read(const std::string& path) {
    LineReader in(path);
    std::string_view line;
    uint64_t number = 0;

    if (!in.Next(line))
        throw in.Error("empty file: expected the file type 1");
    if (!TextField::ParseUnsigned(line, number) || number != 1)
        throw in.Error("unknown state-space file type " + Quoted(line) + " (expected 1)");
    if (!in.Next(line))
        throw in.Error("unexpected end of file: expected the number of states");
    uint64_t count = 0;
    if (!TextField::ParseUnsigned(line, count))
        throw in.Error("the number of states is not a whole number: " + Quoted(line));
    if (count == 0)
        throw in.Error("the chain has no states");
    if (count > std::numeric_limits<uint32_t>::max())
        throw in.Error("too many states: " + std::to_string(count));

    MarkovChain chain;
    // Room for the states the file can hold, not for what its header claims: every
    // record takes at least four bytes ("s", "0" and their line ends), and a header
    // that declares more states than follow is found at the end of the file.
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, in.Size() / 4 + 1));
    chain.exitRate.reserve(n);
    // Every entry takes at least a short destination line and a rate line of about
    // seventeen characters: reserving for that avoids regrowing large arrays.
    RateMatrixBuilder m(n, static_cast<size_t>(in.Size() / 20));

    bool haveLine = in.Next(line);
    // The rest of the count's room, when there is one.
    if (haveLine && Blank(line))
        haveLine = in.Next(line);

    for (uint64_t s = 1; s <= count; s++) {
        // Built only for a message: a string per state would cost more than the reading.
        auto which = [s] { return "the record of state " + std::to_string(s); };
        if (!haveLine)
            throw in.Error("unexpected end of file: expected " + which() + " of " +
                           std::to_string(count));
        if (!TextField::ParseUnsigned(line, number) || number != s)
            throw in.Error("expected " + which() + ", found " + Quoted(line));
        double out = 0.0;
        uint64_t previous = 0;
        for (;;) {
            if (!in.Next(line))
                throw in.Error("unexpected end of file in " + which() +
                               ": expected a destination or the closing 0");
            if (!TextField::ParseUnsigned(line, number))
                throw in.Error("destination is not a state number: " + Quoted(line));
            if (number == 0)
                break;
            if (number > count)
                throw in.Error("destination state " + std::to_string(number) +
                               " is out of range 1 to " + std::to_string(count));
            // Ascending, each once: a destination twice would be two entries of one
            // matrix element.
            if (number <= previous)
                throw in.Error("destination " + std::to_string(number) + " follows destination " +
                               std::to_string(previous) + " in " + which() +
                               ": the destinations of a record are ascending, each once");
            previous = number;
            const uint64_t dest = number;
            if (!in.Next(line))
                throw in.Error("unexpected end of file in " + which() + ": expected the rate to " +
                               std::to_string(dest));
            double rate = 0.0;
            if (!TextField::ParseDouble(line, rate))
                throw in.Error("rate is not a number: " + Quoted(line));
            if (!std::isfinite(rate))
                throw in.Error("rate is not a finite number: " + Quoted(line));
            if (rate < 0.0)
                throw in.Error("the chain has deterministic delays (the entry " +
                               std::string(TextField::Trim(line)) + " is a deterministic firing)" +
                               kDeterministic);
            chain.fileTransitions++;
            if (dest == s || rate == 0.0)
                continue;
            m.Add(static_cast<uint32_t>(dest - 1), rate);
            out += rate;
        }
        chain.exitRate.push_back(out);
        m.EndRow();
        haveLine = in.Next(line);
    }
    chain.outgoing = m.Finish();
    while (haveLine) {
        if (!Blank(line))
            throw in.Error("unexpected text after the record of the last state " +
                           std::to_string(count) + ": " + Quoted(line));
        haveLine = in.Next(line);
    }
    return chain;
}

MarkovChain MarkovChain::ReadBinary(const std::string& path) {
    const Mapping file(path);
    const unsigned char* data = file.Data();
    const uint64_t size = file.Size();
    auto fault = [&](const std::string& what, uint64_t at) {
        return gen::UserError(path + ": " + what + " (byte " + std::to_string(at) + ")");
    };
    chainformat::Header h;
    if (size < sizeof h)
        throw fault("too short for the header of a binary state-space file", size);
    std::memcpy(&h, data, sizeof h);
    if (std::memcmp(h.magic, chainformat::kMagic, sizeof h.magic) != 0)
        throw fault("not a binary state-space file (no \"GENCHAIN\" at its start)", 0);
    if (h.version != chainformat::kVersion)
        throw fault("binary state-space format version " + std::to_string(h.version) +
                        " is not known (this solver reads version " +
                        std::to_string(chainformat::kVersion) + ")",
                    8);
    if (h.fileType != 1)
        throw fault("unknown state-space file type " + std::to_string(h.fileType) + " (expected 1)",
                    12);
    if (h.states == 0)
        throw fault("the chain has no states", 16);
    if (h.states > std::numeric_limits<uint32_t>::max())
        throw fault("too many states: " + std::to_string(h.states), 16);
    // The records and the rate table exactly fill the file: a header that promises
    // more than the file holds is found before anything is read.
    const uint64_t records = size - sizeof h;
    if (h.entries > records / sizeof(chainformat::Entry) ||
        h.rateTableOffset != sizeof h + h.states * 4 + h.entries * sizeof(chainformat::Entry) ||
        h.rateTableOffset > size || (size - h.rateTableOffset) / 8 != h.rates ||
        (size - h.rateTableOffset) % 8 != 0)
        throw fault("the header's counts (" + std::to_string(h.states) + " states, " +
                        std::to_string(h.entries) + " entries, " + std::to_string(h.rates) +
                        " rates) do not match the file's size of " + std::to_string(size) +
                        " bytes",
                    16);
    std::vector<double> rates(h.rates);
    for (uint32_t k = 0; k < h.rates; k++) {
        const uint64_t at = h.rateTableOffset + uint64_t(k) * 8;
        rates[k] = Load<double>(data + at);
        if (!std::isfinite(rates[k]))
            throw fault("rate " + std::to_string(k) + " of the table is not a finite number", at);
    }

    MarkovChain chain;
    const size_t n = static_cast<size_t>(h.states);
    chain.exitRate.reserve(n);
    RateMatrixBuilder m(n, static_cast<size_t>(h.entries));
    uint64_t at = sizeof h;
    for (uint64_t s = 1; s <= h.states; s++) {
        if (at + 4 > h.rateTableOffset)
            throw fault("the records end before the record of state " + std::to_string(s), at);
        const uint32_t count = Load<uint32_t>(data + at);
        at += 4;
        if (count > (h.rateTableOffset - at) / sizeof(chainformat::Entry))
            throw fault("the record of state " + std::to_string(s) + " has " +
                            std::to_string(count) + " destinations, more than the file holds",
                        at - 4);
        double out = 0.0;
        uint64_t previous = 0;
        for (uint32_t k = 0; k < count; k++, at += sizeof(chainformat::Entry)) {
            const uint32_t dest = Load<uint32_t>(data + at);
            const uint32_t index = Load<uint32_t>(data + at + 4);
            if (dest == 0 || dest > h.states)
                throw fault("destination state " + std::to_string(dest) + " is out of range 1 to " +
                                std::to_string(h.states),
                            at);
            if (dest <= previous)
                throw fault("destination " + std::to_string(dest) + " follows destination " +
                                std::to_string(previous) + " in the record of state " +
                                std::to_string(s) +
                                ": the destinations of a record are ascending, each once",
                            at);
            previous = dest;
            if (index >= h.rates)
                throw fault("rate index " + std::to_string(index) + " is outside the table of " +
                                std::to_string(h.rates) + " rates",
                            at + 4);
            const double rate = rates[index];
            if (rate < 0.0)
                throw fault("the chain has deterministic delays (the entry " + ResultText(rate) +
                                " is a deterministic firing)" + kDeterministic,
                            at + 4);
            chain.fileTransitions++;
            if (dest == s || rate == 0.0)
                continue;
            m.Add(dest - 1, rate);
            out += rate;
        }
        chain.exitRate.push_back(out);
        m.EndRow();
    }
    if (at != h.rateTableOffset)
        throw fault(
            "unexpected bytes after the record of the last state " + std::to_string(h.states), at);
    chain.outgoing = m.Finish();
    return chain;
}
