#include "timesync/offset_estimator.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vintrel {
namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Midpoint(const OffsetSample& s) {
    return (s.connected + s.firstByte) / 2;
}

}  // namespace

OffsetEstimator::OffsetEstimator(double minSpacing) : minSpacing_(minSpacing) {}

void OffsetEstimator::add(const OffsetSample& sample) {
    samples_.push_back(sample);
}

double OffsetEstimator::leadTime() const {
    std::vector<double> leads;
    for (const OffsetSample& s : samples_) leads.push_back(Midpoint(s) - s.sent);
    return leads.empty() ? 0 : Median(std::move(leads));
}

std::vector<OffsetInterval> OffsetEstimator::sampleIntervals() const {
    double quickest = std::numeric_limits<double>::infinity();
    for (const OffsetSample& s : samples_) quickest = std::min(quickest, s.firstByte - s.connected);
    std::vector<OffsetInterval> intervals;
    for (const OffsetSample& s : samples_) {
        // The server read its clock at the middle of connection and reply
        // when both ways took equally long; whatever this query took beyond
        // the quickest one may lie on either side.
        const double slack = (s.firstByte - s.connected - quickest) / 2;
        const double read = Midpoint(s);
        intervals.push_back({s.secondStart() - read - slack, s.secondStart() + 1 - read + slack});
    }
    return intervals;
}

OffsetInterval OffsetEstimator::certified() const {
    OffsetInterval bracket{-std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::infinity()};
    for (const OffsetSample& s : samples_) {
        // The server read its clock after the query was sent and before the
        // reply came. Not after the connection stood: the server may read
        // before the client has noticed, and through a proxy it has read
        // before the tunnel is reported up.
        bracket.lower = std::max(bracket.lower, s.secondStart() - s.firstByte);
        bracket.upper = std::min(bracket.upper, s.secondStart() + 1 - s.sent);
    }
    return bracket;
}

OffsetEstimate OffsetEstimator::estimate() const {
    OffsetEstimate result;
    result.samples = samples_.size();
    result.certified = certified();
    if (samples_.empty()) return result;
    result.consistent = result.certified.lower <= result.certified.upper;

    // The summed distance to the intervals is least between the middle two
    // of all their ends: a sample on the wrong side of a tick moves that
    // only to the next end, where a vote would follow it.
    std::vector<double> ends;
    for (const OffsetInterval& interval : sampleIntervals()) {
        ends.push_back(interval.lower);
        ends.push_back(interval.upper);
    }
    std::sort(ends.begin(), ends.end());
    const std::size_t n = samples_.size();
    const double low = ends[n - 1];
    const double high = ends[n];
    result.spread = high - low;
    result.offset = (low + high) / 2;
    if (result.consistent) {
        result.offset = std::clamp(result.offset, result.certified.lower, result.certified.upper);
    }
    return result;
}

double OffsetEstimator::nextSendTime(double now) const {
    if (samples_.empty()) return now;
    double earliest = now;
    for (const OffsetSample& s : samples_) earliest = std::max(earliest, s.sent + minSpacing_);
    // Aim the server's reading at the moment the second it names changes, by
    // the current estimate: its advance before its own second changes.
    const double lead = leadTime();
    const double shift = estimate().offset + samples_.back().advance;
    double send = std::ceil(earliest + lead + shift) - lead - shift;
    if (send < earliest) send += 1;
    return send;
}

}  // namespace vintrel
