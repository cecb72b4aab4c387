#pragma once

#include <cstddef>
#include <vector>

namespace vintrel {

/// One timed query. All times are seconds on the client's clock; the server's
/// second on the same scale (seconds since 1970 UTC, say).
struct OffsetSample {
    /// T0: just before the connection was begun.
    double sent = 0;
    /// Tc: the connection (through a proxy, the tunnel) stood.
    double connected = 0;
    /// T1: the reply's first bytes were there.
    double firstByte = 0;
    /// N: the whole second the reply announced.
    double serverSecond = 0;
    /// How early the server sends its time code (NIST's msADV, seconds): it
    /// names second N from its clock's N minus this on.
    double advance = 0;

    /// When the server's clock stood at the start of the named second.
    double secondStart() const { return serverSecond - advance; }
};

/// Seconds of offset, server minus client.
struct OffsetInterval {
    double lower = 0;
    double upper = 0;

    double width() const { return upper - lower; }
    bool contains(double offset) const { return lower <= offset && offset <= upper; }
};

struct OffsetEstimate {
    /// Server minus client, seconds: add it to the client's clock.
    double offset = 0;
    /// Holds the true offset whenever the server read its clock between the
    /// sending of a query and the arrival of its reply, as it must.
    OffsetInterval certified;
    /// False when no offset agrees with every sample (the certified bracket
    /// is empty): the server's clock jumped, or its replies disagree.
    bool consistent = true;
    /// Width of the set of best offsets; `offset` is its middle.
    double spread = 0;
    std::size_t samples = 0;
};

/// Turns timed whole-second replies into an offset with millisecond accuracy,
/// and plans each next query so that the server reads its clock at the
/// moment its second changes by the current estimate; each reply then tells
/// on which side of the estimate the truth lies. Free of I/O and clocks: the
/// caller supplies the times.
class OffsetEstimator {
public:
    /// The public time servers refuse a client that asks more often.
    static constexpr double kMinSpacing = 4.0;

    explicit OffsetEstimator(double minSpacing = kMinSpacing);

    void add(const OffsetSample& sample);
    const std::vector<OffsetSample>& samples() const { return samples_; }
    bool empty() const { return samples_.empty(); }

    /// When to send the next query, no earlier than `now` nor than the
    /// spacing after the previous one.
    double nextSendTime(double now) const;

    /// The estimate of the samples so far; an unbounded bracket before the first.
    OffsetEstimate estimate() const;

    /// How long after sending the server reads its clock, by the median sample.
    double leadTime() const;

    /// What each sample says of the offset, its delay beyond the quickest
    /// round trip counted as uncertainty.
    std::vector<OffsetInterval> sampleIntervals() const;

    /// Offsets that no sample rules out.
    OffsetInterval certified() const;

private:
    double minSpacing_;
    std::vector<OffsetSample> samples_;
};

}  // namespace vintrel
