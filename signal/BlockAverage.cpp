#include "BlockAverage.h"

#include <algorithm>
#include <cmath>

void BlockAverage::SetLength(int length) {
    length = std::clamp(length, MinLength, MaxLength);
    if (length == length_)
        return;
    length_ = length;
    Restart();
}

void BlockAverage::Restart() {
    ring_.clear();
    sum_.fill(0);
    next_ = 0;
    reached_ = 0;
}

void BlockAverage::Add(const SampleBuffer& samples, const BlockSettings& taken) {
    if (reached_ > 0 && !(taken == settings_))
        Restart();
    settings_ = taken;
    if (ring_.empty())
        ring_.resize(std::size_t(length_));
    Block& slot = ring_[std::size_t(next_)];
    const bool full = reached_ == length_;
    for (std::size_t i = 0; i < slot.size(); ++i) {
        sum_[i] += std::int32_t(samples[i]) - (full ? std::int32_t(slot[i]) : 0);
        slot[i] = samples[i];
    }
    next_ = (next_ + 1) % length_;
    reached_ = std::min(reached_ + 1, length_);
}

SampleBuffer BlockAverage::Rounded() const {
    SampleBuffer out{};
    for (int i = 0; i < 500; ++i)
        out[std::size_t(i)] = std::uint16_t(std::lround(At(i)));
    return out;
}
