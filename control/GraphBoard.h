#pragma once

#include "acquisition/FrameDecoder.h"
#include "config/Config.h"
#include "files/GraphSamples.h"

#include <string>
#include <vector>

// The graph instruments of the main window, one per graph of the configuration, as the
// controller uses them; their samples also go into the data files.
class GraphBoard : public GraphSamples {
public:
    // Recreates every instrument from the graph list (and their FFT views), sets the line width
    // and the X-axis synchronisation; resets the X axes when the configuration carries no axis
    // state.
    virtual void recreate(Config& config) = 0;
    // Re-reads rate and display time into every instrument; empties their data windows.
    virtual void rebuildAll() = 0;
    // The pen width of the curves, in pixels.
    virtual void setLineWidth(int pixels) = 0;
    // The write position of every instrument returns to the start of its window.
    virtual void restartAll() = 0;
    // Whether some graph's stop condition fired, asked in graph order.
    virtual bool anyOutOfRange() = 0;
    // The instruments the frame decoder feeds, in graph order.
    virtual std::vector<SampleTarget*> targets() = 0;
    // While held, the targets draw what they are fed when the hold ends, once per delivery.
    virtual void holdLiveDrawing(bool hold) = 0;
    virtual void refresh() = 0;
    // The View All tool: every instrument shows its whole data window.
    virtual void fitAll() = 0;
    // The Auto Zoom tick: every instrument's Y axis spans the values it shows.
    virtual void autoScaleAll() = 0;
    // After samples arrived: the diagnostic views take the graphs' windows again. Their figures
    // cost more than their pictures and follow at most a few times a second, unless `final`
    // asks for them now (a sweep ended, data were loaded, the recording stopped).
    virtual void updateDiagnostics(bool final) = 0;

    // Where the event of the triggered sweep on the graphs stands; -1 for none.
    void setTriggerIndex(std::int64_t index) { triggerIndex_ = index; }
    std::int64_t triggerIndex() const override { return triggerIndex_; }

private:
    std::int64_t triggerIndex_ = -1;
};
