#pragma once

#include "KLib/Object.h"
#include "KLib/Ref.h"
#include "graph/Instrument.h"
#include "graph/Painter.h"
#include "graph/WorkNotice.h"

#include <limits>
#include <memory>
#include <vector>

struct GraphData;
struct InputSettings;
class Graph;
class FFTGraph;

// What the mouse does in a plot area.
enum MouseMode { moveMode = 0, zoomInMode = 1, zoomOutMode = 2, cursorMode = 3 };

// The instruments of the graph panel, stacked top to bottom: their layout, painting, the mouse
// routing and the interaction state. The toolkit side supplies the window operations below.
class InstrumentServer : public KLib::Object {
public:
    // Adds a graph for the record above the instrument `before` (null: below all others); it
    // reads rate and display time from the input settings. Both records must outlive the graph;
    // the graph draws through this server, which must outlive every use of it.
    KLib::Ref<Graph> createGraph(const InputSettings& inputs, GraphData& graph,
                                 Instrument* before = nullptr);
    // Adds the FFT view of a time graph made by createGraph for the same record, linked with it
    // both ways, above the instrument `before` (null: below all others). The record must outlive
    // the view.
    KLib::Ref<FFTGraph> createFFTGraph(const KLib::Ref<Graph>& source, GraphData& graph,
                                       Instrument* before = nullptr);
    // Adds an instrument above `before`, or below the others when that is null or not listed.
    void addInstrument(const KLib::Ref<Instrument>& instrument, Instrument* before = nullptr);
    void removeInstrument(Instrument* instrument);
    // Empties the list and drops the capture.
    void clear();
    const std::vector<KLib::Ref<Instrument>>& instruments() const { return instruments_; }

    // Gives every instrument the full width and an equal share of the height, in list order.
    void layout(int width, int height);
    // Paints the panel of the given client size: the instruments that reach into the rows
    // dirtyTop ... dirtyBottom (pixels, bottom exclusive), all of them after a new layout. The
    // caller's painter shows nothing outside those rows.
    void paintInstruments(Painter& painter, int clientWidth, int clientHeight, int dirtyTop = 0,
                          int dirtyBottom = std::numeric_limits<int>::max());
    void updateValueTexts();

    void mouseButton(double x, double y, bool pressed);
    void mouseMotion(double x, double y, bool dragging);
    void mouseWheel(double x, double y, int rotation);

    // Moves the hover highlight or the zoom rubber band, a frame between two opposite corners;
    // (0, 0, 0, 0) removes it.
    void drawHighlight(double x1, double y1, double x2, double y2);
    // Draws the highlight again after something was drawn over it.
    void restoreHighlight(Painter& painter) const;

    void setSyncXAxis(bool on);
    bool syncXAxis() const { return syncXAxis_; }
    void broadcastXAxis(bool isFFT, double scaleX, double offsetX);
    void broadcastCursors(bool isFFT, const CursorPair& cursors);

    // The mouse's mode; the highlight goes, as the zones it marked may mean something else now.
    void setMode(int mode) {
        mode_ = mode;
        drawHighlight(0.0, 0.0, 0.0, 0.0);
    }
    int mode() const { return mode_; }
    void setLineWidth(int pixels) { lineWidth_ = pixels; }
    int lineWidth() const { return lineWidth_; }
    // Pixel height of a line of text; instruments place their texts by it.
    double fontHeight() const { return fontHeight_; }

    // The instrument pressed in its plot area or whose context menu is open.
    Instrument* captured() const { return captured_.get(); }
    // The channel whose context menu is open, -1 otherwise.
    int selectedChannel() const { return selectedChannel_; }

    // Repaints the whole panel.
    virtual void refresh() = 0;
    // Repaints the rectangle (panel pixels) from the instruments, soon.
    virtual void refreshArea(int x, int y, int width, int height) = 0;
    // A painter directly on the screen, for live drawing between repaints.
    virtual std::unique_ptr<Painter> screenPainter() = 0;
    // Posted on any thread when a worker finished something for an instrument; a server with an
    // event loop sets its target to run collectFinishedWork() on the interface thread soon.
    const std::shared_ptr<WorkNotice>& workNotice() const { return workNotice_; }
    // Every instrument takes what its workers finished.
    void collectFinishedWork();

protected:
    explicit InstrumentServer(double fontHeight);

    // Context menus; they return when the menu is closed. The instrument stays captured meanwhile.
    virtual void showGraphMenu(Instrument& instrument, double x, double y) = 0;
    virtual void showChannelMenu(Instrument& instrument, int channel, bool addOnly, double x,
                                 double y) = 0;

private:
    struct Highlight {
        int x1 = 0;
        int y1 = 0;
        int x2 = 0;
        int y2 = 0;
        bool operator==(const Highlight& other) const;
        bool empty() const { return x1 == x2 && y1 == y2; }
        void draw(Painter& painter) const;
        // Has the frame painted over from the instruments.
        void erase(InstrumentServer& server) const;
    };

    struct Hit {
        Instrument* instrument = nullptr;
        HitResult result;
    };
    // The first instrument, in list order, whose hit code is accepted; none when there is none.
    Hit firstHit(double x, double y, bool (*accepted)(int code)) const;
    void pressed(double x, double y);
    void released(double x, double y);
    void openChannelMenu(Instrument& instrument, int channel, bool addOnly, double x, double y);
    // Hands the X axis of the first instrument that was laid out before to all others.
    void synchroniseXAxes();

    std::shared_ptr<WorkNotice> workNotice_ = std::make_shared<WorkNotice>();
    std::vector<KLib::Ref<Instrument>> instruments_;
    KLib::Ref<Instrument> captured_;
    int selectedChannel_ = -1;
    int mode_ = moveMode;
    double pressX_ = 0.0;
    double pressY_ = 0.0;
    bool syncXAxis_ = false;
    // The X axes are handed over once every instrument has its plot area: before that, a new
    // instrument's pixel transform means nothing.
    bool syncPending_ = false;
    // Instruments added since the last layout.
    std::vector<const Instrument*> unplaced_;
    int lineWidth_ = 1;
    bool layoutDirty_ = false;
    double fontHeight_;
    Highlight highlight_;
};
