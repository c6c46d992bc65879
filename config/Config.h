#pragma once

#include "KLib/Array.h"
#include "KLib/List.h"

#include <optional>
#include <string>

// The configuration records: the whole user setup as plain value types. Field names are the keys
// of the configuration file, so they keep the file's spelling.

struct Point {
    double x = 0.0;
    double y = 0.0;
};

struct SineInput {
    double periods = 1024.0; // signal periods per turn
    int threshold = 0;       // mV, threshold of the zero pulse R
    int filter = 24868;      // Hz, low-pass of position/velocity
    int filtera = 24868;     // Hz, low-pass of track A
    int filterb = 24868;     // Hz, low-pass of track B
};

struct SquareInput {
    double periods = 1024.0; // pulses per turn
    int filter = 0;          // Hz
};

struct SSIInputWordDetails {
    enum Type { Position = 0, Velocity = 1, Raw = 2 };

    int numBits = 0;
    bool sign = false; // two's complement
    int type = Position;
    int numBitsSingleTurn = 0;
    int numBitsMultiTurn = 0;
    double scaleFactor = 0.0;
    bool man_zero = false; // zeroed by the manual zero command
};

struct SSIInput {
    static constexpr int wordCount = 8;

    int frequency = 200;   // kHz, SSI clock
    int monoflopTime = 30; // µs
    int cableLength = 0;   // m
    bool gray = false;
    int numWords = 0; // words of the data block in use; all eight are stored
    SSIInputWordDetails words[wordCount];
};

struct AnalogInput {
    int filter = 1024; // Hz
};

struct InputSettings {
    int rate = 10000;               // samples per second
    float displayTime = 1.0f;       // s shown in a graph
    float logTime = 1.0f;           // s of a log recording
    int lineWidth = 1;              // pixels
    float failure_add_value = 0.0f; // value written for every lost frame
    KLib::Array<SineInput> sineInputs;
    KLib::Array<SquareInput> squareInputs;
    KLib::Array<SSIInput> ssiInputs;
    KLib::Array<AnalogInput> analogInputs;
    int systemFrequency = 64000000; // Hz, clock of the box
};

// The two vertical cursors of a plot, in the unit of its X axis: seconds from the start of a time
// graph's data window, Hz in an FFT view. They belong to the data, so zooming and panning move
// them with it.
struct CursorPair {
    std::optional<double> first;
    std::optional<double> second;

    bool any() const { return first || second; }
    bool both() const { return first && second; }
};

struct FFTRegion {
    double freq = 0.0;      // Hz, centre of the band
    double width = 0.0;     // Hz, full width of the band
    double limitFail = 0.0; // in the FFT view's value scale
};

struct ChannelData {
    std::string caption;
    int input = 0;   // counted over SinCos, HTL/TTL, SSI, Analog inputs
    int channel = 0; // signal of that input
    int op = 0;      // 0 none, 1 add, 2 subtract, 3 differentiate
    int input2 = 0;
    int channel2 = 0;
    int unit = 1; // index into the unit table; 1 is "1" (turns)
    bool invert = false;
    std::string offset = "0";
    int color = 0x0000FF; // 0xRRGGBB
    bool displayTextValue = true;
};

struct GraphData {
    std::string caption;
    std::string minValue = "0";
    std::string maxValue = "0";
    bool stopOnOutOfRange = false;
    bool fft = false;
    bool fftLogScale = true;
    std::string fftWindow = "Hanning";
    std::string fftNumAverages = "0";
    std::string fftSize = "8192";
    // View transforms: pixel = offset + scale * value, per axis.
    Point scale{1.0, -0.5};
    Point offset{0.0, 0.5};
    Point graphP1{0.0, -1.0};
    Point graphP2{1.0, 1.0};
    Point fftScale{1.0, -0.5};
    Point fftOffset{0.0, 0.5};
    Point fftGraphP1{0.0, -1.0};
    Point fftGraphP2{1.0, 1.0};
    KLib::Array<ChannelData> channelList;
    KLib::Array<FFTRegion> fftRegionList;
    // The Lissajous view below the graph: Analog B against Analog A of one SinCos input.
    bool lissajous = false;
    int lissajousInput = 0;                // the SinCos input, in input numbering
    std::string lissajousNominal = "0.5";  // V, radius of the nominal circle: a track's amplitude
    std::string lissajousTolerance = "20"; // %, of the nominal radius, either side of the circle
    // The signal-quality table of the graph's inputs below the graph.
    bool signalQuality = false;
    CursorPair cursors;    // of the time graph, s
    CursorPair fftCursors; // of the FFT view, Hz
    // The table of each channel's statistics over the visible span below the graph.
    bool statistics = false;
};

// What "Single" waits for before its sweep.
struct TriggerSettings {
    enum Source { ChannelLevel = 0, ReferencePulse = 1 };
    enum Slope { Rising = 0, Falling = 1, Either = 2 };

    bool enabled = false;
    int source = ChannelLevel;
    int graph = 0;           // ChannelLevel: index in the graph list
    int channel = 0;         // ChannelLevel: index in that graph's channel list
    int input = 0;           // ReferencePulse: the SinCos or HTL/TTL input, in input numbering
    std::string level = "0"; // in the channel's unit
    int slope = Rising;
    std::string preTrigger = "10"; // % of the sweep before the event
    std::string timeout = "10";    // s without an event after which the status says so
};

struct Config {
    // Class version of GraphData written by this program; stored in the file before saving.
    static constexpr int graphDataClassVersion = 6;

    InputSettings inputSettings;
    KLib::List<GraphData> graphList;
    bool syncXAxis = true;
    bool lockGraphs = false;
    int zero = 0;                                  // bit i: zero selector of input i is on
    unsigned intervallGraphDisplayTextValue = 333; // ms between value text refreshes
    // 0 until a save or a load of a file that carries it: the graph rebuild then resets the X
    // axes from the display time, since no stored axis state can be trusted.
    int GraphData_BOOST_CLASS_version = 0;
    bool torvenLogo = false;
    TriggerSettings trigger;
};

// Appends a graph (or channel) with default fields and returns a reference to it.
GraphData& addGraph(Config& config);
ChannelData& addChannel(GraphData& graph);

// Appends the graph "Position" with the channel "Encoder1": the setup used when no configuration
// file could be loaded.
void addDefaultGraph(Config& config);

// Resizes the four input arrays to the counts the box reports, keeping existing elements in
// front and appending elements with their defaults.
void resizeInputs(InputSettings& inputs, int sine, int square, int ssi, int analog);

// The number at the start of a text field (minValue, offset, fftSize, ...), 0 when there is
// none. Reads "." and "," alike as the decimal mark, whatever the process locale.
double leadingNumber(const std::string& text);

// The number a text field holds when it holds nothing else (blanks around it aside), read like
// leadingNumber(); nothing otherwise. Dialogs check typed numbers with it.
std::optional<double> wholeNumber(const std::string& text);
