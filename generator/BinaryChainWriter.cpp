#include "generator/BinaryChainWriter.h"

#include "BaseClasses/ProcessEnd.h"
#include "common/ChainFormat.h"
#include "generator/StateSpaceGenFormat.h"

#include <charconv>
#include <cstring>
#include <iostream>

namespace {

constexpr int kCacheBits = 10;

// The double the entry's text in the text file reads back as.
double AsWritten(double rate) {
    char text[NumberText::MaxLength];
    const NumberText form(NumberText::Form::Scientific10);
    char* end = form.Format(text, rate);
    double back = rate;
    std::from_chars(text, end, back);
    return back;
}

template <class T> char* Put(char* at, T value) {
    std::memcpy(at, &value, sizeof value);
    return at + sizeof value;
}

} // namespace

BinaryChainWriter::BinaryChainWriter(const char* path)
    : out_(path, std::ios::out | std::ios::binary | std::ios::trunc),
      cache_(size_t(1) << kCacheBits, Cached{0, UINT32_MAX}) {
    if (!out_.is_open())
        Fatal(std::cerr, "Error: Could not open state space output file\n");
    buffer_.reset(new OutputBuffer(out_));
    // Room for the header, written last.
    char* at = buffer_->Reserve(sizeof(chainformat::Header));
    std::memset(at, 0, sizeof(chainformat::Header));
    buffer_->Commit(at + sizeof(chainformat::Header));
}

BinaryChainWriter::~BinaryChainWriter() = default;

uint32_t BinaryChainWriter::IndexOf(double rate) {
    uint64_t bits;
    std::memcpy(&bits, &rate, sizeof bits);
    Cached& c = cache_[(bits * 0x9E3779B97F4A7C15ULL) >> (64 - kCacheBits)];
    if (c.index != UINT32_MAX && c.bits == bits)
        return c.index;
    auto found = indexOf_.find(bits);
    uint32_t index;
    if (found != indexOf_.end()) {
        index = found->second;
    } else {
        index = static_cast<uint32_t>(rates_.size());
        rates_.push_back(AsWritten(rate));
        indexOf_.emplace(bits, index);
    }
    c = {bits, index};
    return index;
}

void BinaryChainWriter::Add(const TransitionList& transitions) {
    states_++;
    char* at = buffer_->Reserve(sizeof(uint32_t));
    buffer_->Commit(Put(at, static_cast<uint32_t>(transitions.size())));
    for (const auto& entry : transitions) {
        at = buffer_->Reserve(sizeof(chainformat::Entry));
        at = Put(at, entry.first);
        buffer_->Commit(Put(at, IndexOf(entry.second)));
    }
    entries_ += transitions.size();
}

bool BinaryChainWriter::Finish(uint32_t fileType) {
    chainformat::Header h;
    std::memcpy(h.magic, chainformat::kMagic, sizeof h.magic);
    h.version = chainformat::kVersion;
    h.fileType = fileType;
    h.states = states_;
    h.entries = entries_;
    h.rateTableOffset =
        sizeof h + states_ * sizeof(uint32_t) + entries_ * sizeof(chainformat::Entry);
    h.rates = static_cast<uint32_t>(rates_.size());
    h.reserved = 0;
    for (double r : rates_) {
        char* at = buffer_->Reserve(sizeof r);
        buffer_->Commit(Put(at, r));
    }
    buffer_->Flush();
    out_.seekp(0);
    out_.write(reinterpret_cast<const char*>(&h), sizeof h);
    out_.flush();
    bool ok = !out_.fail();
    out_.close();
    ok = ok && !out_.fail();
    if (!ok)
        std::cerr << "Error: Could not write state space output file" << std::endl;
    return ok;
}
