#pragma once

// What the frame decoder feeds: one graph. Per chunk of frames each of the graph's channels
// gets one appendSamples, then the graph gets one advance with the chunk's value count.
class SampleTarget {
public:
    virtual ~SampleTarget() = default;
    // The values are valid during the call only.
    virtual void appendSamples(int channel, const double* values, int count) = 0;
    // Commits `count` appended values per channel; true when the graph's window is now full.
    virtual bool advance(int count) = 0;
};
