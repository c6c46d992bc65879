#include "control/GraphEditing.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

// Records what each dialog was offered and answers with `confirm`; a confirmed dialog renames
// the record, so that the tests see whether the edit was kept.
class ScriptedEditor : public RecordEditor {
public:
    bool editGraph(GraphData& graph) override {
        ++graphDialogs;
        if (confirm)
            graph.caption = "edited";
        return confirm;
    }
    bool editFFT(GraphData& graph) override {
        ++fftDialogs;
        if (confirm)
            graph.fftSize = "1024";
        return confirm;
    }
    bool editChannel(const InputSettings&, ChannelData& channel) override {
        offeredColours.push_back(channel.color);
        if (confirm)
            channel.caption = "edited";
        return confirm;
    }
    bool editLissajous(GraphData& graph) override {
        ++lissajousDialogs;
        if (confirm)
            graph.lissajousTolerance = "5";
        return confirm;
    }

    bool confirm = true;
    int graphDialogs = 0;
    int fftDialogs = 0;
    int lissajousDialogs = 0;
    std::vector<int> offeredColours;
};

// Graphs "g0", "g1", "g2"; graph 1 holds channels "c0", "c1", "c2".
Config threeGraphs() {
    Config config;
    for (const char* caption : {"g0", "g1", "g2"}) {
        GraphData graph;
        graph.caption = caption;
        config.graphList.push_back(graph);
    }
    for (const char* caption : {"c0", "c1", "c2"}) {
        ChannelData channel;
        channel.caption = caption;
        std::next(config.graphList.begin())->channelList.push_back(channel);
    }
    return config;
}

std::vector<std::string> graphCaptions(const Config& config) {
    std::vector<std::string> captions;
    for (const GraphData& graph : config.graphList)
        captions.push_back(graph.caption);
    return captions;
}

std::vector<std::string> channelCaptions(const Config& config, int graph) {
    std::vector<std::string> captions;
    for (const ChannelData& channel : std::next(config.graphList.begin(), graph)->channelList)
        captions.push_back(channel.caption);
    return captions;
}

const GraphData& graphAt(const Config& config, int index) {
    return *std::next(config.graphList.begin(), index);
}

GraphTarget on(int graph, int channel = -1, bool fftView = false) {
    GraphTarget target;
    target.graph = graph;
    target.channel = channel;
    target.fftView = fftView;
    return target;
}

GraphTarget onView(int graph, DiagnosticView view) {
    GraphTarget target = on(graph);
    target.diagnostic = view;
    return target;
}

ChannelData plainChannel(int input, int signal) {
    ChannelData channel;
    channel.input = input;
    channel.channel = signal;
    return channel;
}

class GraphEditingTest : public ::testing::Test {
protected:
    GraphChange run(int command, const GraphTarget& target) {
        return applyGraphCommand(config, editor, command, target);
    }

    Config config = threeGraphs();
    ScriptedEditor editor;
};

TEST(ChannelPalette, RepeatsAfterNineColours) {
    EXPECT_EQ(paletteColour(0), 0x0000FF);
    EXPECT_EQ(paletteColour(3), 0x000080);
    EXPECT_EQ(paletteColour(7), 0xFF8000);
    EXPECT_EQ(paletteColour(8), 0x000000);
    EXPECT_EQ(paletteColour(9), 0x0000FF);
    EXPECT_EQ(paletteColour(10), 0xFF0000);
}

TEST_F(GraphEditingTest, AddGraphAppendsTheEditedRecordWithoutATarget) {
    const GraphChange change = run(addGraphCommand, on(-1));
    EXPECT_EQ(change.kind, GraphChangeKind::graphAdded);
    EXPECT_EQ(change.graph, 3);
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "g1", "g2", "edited"}));
    // The other fields keep their defaults.
    EXPECT_EQ(graphAt(config, 3).maxValue, "0");
    EXPECT_FALSE(graphAt(config, 3).fft);
    EXPECT_TRUE(graphAt(config, 3).channelList.empty());
}

TEST_F(GraphEditingTest, InsertGraphGoesBeforeTheSelectedGraph) {
    const GraphChange change = run(insertGraphCommand, on(1));
    EXPECT_EQ(change.kind, GraphChangeKind::graphAdded);
    EXPECT_EQ(change.graph, 1);
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "edited", "g1", "g2"}));
}

TEST_F(GraphEditingTest, GraphDialogChangesTheListOnlyWhenConfirmed) {
    editor.confirm = false;
    EXPECT_EQ(run(addGraphCommand, on(-1)).kind, GraphChangeKind::none);
    EXPECT_EQ(run(insertGraphCommand, on(0)).kind, GraphChangeKind::none);
    EXPECT_EQ(run(editGraphCommand, on(2)).kind, GraphChangeKind::none);
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "g1", "g2"}));
    editor.confirm = true;
    const GraphChange change = run(editGraphCommand, on(2));
    EXPECT_EQ(change.kind, GraphChangeKind::graphEdited);
    EXPECT_EQ(change.graph, 2);
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "g1", "edited"}));
    EXPECT_EQ(editor.fftDialogs, 0);
}

TEST_F(GraphEditingTest, EditOnAnFFTViewOpensTheFFTSettings) {
    const GraphChange change = run(editGraphCommand, on(0, -1, true));
    EXPECT_EQ(change.kind, GraphChangeKind::fftEdited);
    EXPECT_EQ(editor.graphDialogs, 0);
    EXPECT_EQ(graphAt(config, 0).fftSize, "1024");
    EXPECT_EQ(graphAt(config, 0).caption, "g0");
}

TEST_F(GraphEditingTest, RemoveGraphErasesTheSelectedRecordOnly) {
    const GraphData* last = &graphAt(config, 2);
    const GraphChange change = run(removeGraphCommand, on(1));
    EXPECT_EQ(change.kind, GraphChangeKind::graphRemoved);
    EXPECT_EQ(change.graph, 1);
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "g2"}));
    // Instruments hold references to the records that stay.
    EXPECT_EQ(&graphAt(config, 1), last);
}

TEST_F(GraphEditingTest, RemoveOnAnFFTViewKeepsTheGraphAndClearsItsFlag) {
    std::next(config.graphList.begin())->fft = true;
    const GraphChange change = run(removeGraphCommand, on(1, -1, true));
    EXPECT_EQ(change.kind, GraphChangeKind::fftRemoved);
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "g1", "g2"}));
    EXPECT_FALSE(graphAt(config, 1).fft);
}

TEST_F(GraphEditingTest, AddFFTGraphSetsTheFlagOnce) {
    const GraphChange change = run(addFFTGraphCommand, on(2));
    EXPECT_EQ(change.kind, GraphChangeKind::fftAdded);
    EXPECT_EQ(change.graph, 2);
    EXPECT_TRUE(graphAt(config, 2).fft);
    EXPECT_FALSE(graphAt(config, 1).fft);
    // Already there: nothing changes, so nothing needs to be applied.
    EXPECT_EQ(run(addFFTGraphCommand, on(2)).kind, GraphChangeKind::none);
    EXPECT_TRUE(graphAt(config, 2).fft);
}

TEST_F(GraphEditingTest, GraphCommandsWithoutAGraphChangeNothing) {
    for (int command : {insertGraphCommand, editGraphCommand, removeGraphCommand,
                        addFFTGraphCommand, addChannelCommand}) {
        EXPECT_EQ(run(command, on(-1)).kind, GraphChangeKind::none) << command;
        EXPECT_EQ(run(command, on(3)).kind, GraphChangeKind::none) << command;
    }
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "g1", "g2"}));
    EXPECT_EQ(editor.graphDialogs, 0);
    EXPECT_TRUE(editor.offeredColours.empty());
}

TEST_F(GraphEditingTest, LockedGraphsIgnoreEveryCommand) {
    config.lockGraphs = true;
    for (int command = addGraphCommand; command <= signalQualityCommand; ++command)
        EXPECT_EQ(run(command, on(1, 0)).kind, GraphChangeKind::none) << command;
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "g1", "g2"}));
    EXPECT_EQ(channelCaptions(config, 1), (std::vector<std::string>{"c0", "c1", "c2"}));
    EXPECT_FALSE(graphAt(config, 1).fft);
    EXPECT_EQ(editor.graphDialogs, 0);
}

TEST_F(GraphEditingTest, AddChannelAppendsWithThePaletteColourOfItsPosition) {
    // Selected channel 0 of three: the new one is the fourth, navy.
    const GraphChange change = run(addChannelCommand, on(1, 0));
    EXPECT_EQ(change.kind, GraphChangeKind::channelInserted);
    EXPECT_EQ(change.graph, 1);
    EXPECT_EQ(change.channel, 3);
    EXPECT_EQ(editor.offeredColours, std::vector<int>{0x000080});
    EXPECT_EQ(channelCaptions(config, 1), (std::vector<std::string>{"c0", "c1", "c2", "edited"}));
    EXPECT_EQ(graphAt(config, 1).channelList[3].color, 0x000080);
    EXPECT_EQ(graphAt(config, 1).channelList[3].unit, 1);
}

TEST_F(GraphEditingTest, InsertChannelGoesBeforeTheSelectedChannel) {
    GraphChange change = run(insertChannelCommand, on(1, 0));
    EXPECT_EQ(change.kind, GraphChangeKind::channelInserted);
    EXPECT_EQ(change.channel, 0);
    EXPECT_EQ(graphAt(config, 1).channelList[0].color, 0x0000FF);
    change = run(insertChannelCommand, on(1, 3));
    EXPECT_EQ(change.channel, 3);
    EXPECT_EQ(editor.offeredColours, (std::vector<int>{0x0000FF, 0x000080}));
    EXPECT_EQ(channelCaptions(config, 1),
              (std::vector<std::string>{"edited", "c0", "c1", "edited", "c2"}));
}

TEST_F(GraphEditingTest, CancelledChannelDialogLeavesTheListAlone) {
    editor.confirm = false;
    EXPECT_EQ(run(addChannelCommand, on(1, 0)).kind, GraphChangeKind::none);
    EXPECT_EQ(run(insertChannelCommand, on(1, 1)).kind, GraphChangeKind::none);
    EXPECT_EQ(run(editChannelCommand, on(1, 2)).kind, GraphChangeKind::none);
    EXPECT_EQ(channelCaptions(config, 1), (std::vector<std::string>{"c0", "c1", "c2"}));
}

TEST_F(GraphEditingTest, EditChannelChangesTheSelectedChannelInPlace) {
    const GraphChange change = run(editChannelCommand, on(1, 2));
    EXPECT_EQ(change.kind, GraphChangeKind::channelEdited);
    EXPECT_EQ(change.channel, 2);
    // The dialog is offered the channel as it is, not a palette colour.
    EXPECT_EQ(editor.offeredColours, std::vector<int>{0x0000FF});
    EXPECT_EQ(channelCaptions(config, 1), (std::vector<std::string>{"c0", "c1", "edited"}));
}

TEST_F(GraphEditingTest, RemoveChannelErasesTheSelectedChannel) {
    const GraphChange change = run(removeChannelCommand, on(1, 1));
    EXPECT_EQ(change.kind, GraphChangeKind::channelRemoved);
    EXPECT_EQ(change.graph, 1);
    EXPECT_EQ(change.channel, 1);
    EXPECT_EQ(channelCaptions(config, 1), (std::vector<std::string>{"c0", "c2"}));
}

TEST_F(GraphEditingTest, RemovingTheLastChannelLeavesAnEmptyGraph) {
    run(removeChannelCommand, on(1, 2));
    run(removeChannelCommand, on(1, 1));
    EXPECT_EQ(run(removeChannelCommand, on(1, 0)).kind, GraphChangeKind::channelRemoved);
    EXPECT_TRUE(graphAt(config, 1).channelList.empty());
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "g1", "g2"}));
    // Nothing is left to remove.
    EXPECT_EQ(run(removeChannelCommand, on(1, 0)).kind, GraphChangeKind::none);
}

TEST_F(GraphEditingTest, ChannelIndicesOutOfRangeChangeNothing) {
    for (int command : {insertChannelCommand, editChannelCommand, removeChannelCommand}) {
        EXPECT_EQ(run(command, on(1, -1)).kind, GraphChangeKind::none) << command;
        EXPECT_EQ(run(command, on(1, 3)).kind, GraphChangeKind::none) << command;
        // The add-only menu of an empty graph selects channel 0, which does not exist.
        EXPECT_EQ(run(command, on(0, 0)).kind, GraphChangeKind::none) << command;
    }
    EXPECT_EQ(channelCaptions(config, 1), (std::vector<std::string>{"c0", "c1", "c2"}));
    EXPECT_TRUE(graphAt(config, 0).channelList.empty());
    EXPECT_TRUE(editor.offeredColours.empty());
}

// Inputs 0 and 1 SinCos, 2 HTL/TTL, 3 Analog. Graph 0 shows the Analog input and input 0's
// Analog A; graph 2 shows input 0's tracks as a sum and both tracks of input 1.
class DiagnosticViewTest : public GraphEditingTest {
protected:
    void SetUp() override {
        resizeInputs(config.inputSettings, 2, 1, 0, 1);
        GraphData& g0 = *config.graphList.begin();
        g0.channelList.push_back(plainChannel(3, 0));
        g0.channelList.push_back(plainChannel(0, 2));
        GraphData& g2 = *std::next(config.graphList.begin(), 2);
        ChannelData sum = plainChannel(0, 2);
        sum.op = 1;
        sum.input2 = 0;
        sum.channel2 = 3;
        g2.channelList.push_back(sum);
        g2.channelList.push_back(plainChannel(0, 3));
        g2.channelList.push_back(plainChannel(1, 3));
        g2.channelList.push_back(plainChannel(1, 2));
    }
};

TEST_F(DiagnosticViewTest, ViewsAreAddedOnceAndOnlyForGraphsWithTheirInputs) {
    EXPECT_EQ(lissajousInputOf(config.inputSettings, graphAt(config, 0)), -1);
    EXPECT_EQ(run(addLissajousCommand, on(0)).kind, GraphChangeKind::none);
    EXPECT_EQ(lissajousInputOf(config.inputSettings, graphAt(config, 2)), 1);
    GraphChange change = run(addLissajousCommand, on(2));
    EXPECT_EQ(change.kind, GraphChangeKind::lissajousAdded);
    EXPECT_EQ(change.graph, 2);
    EXPECT_TRUE(graphAt(config, 2).lissajous);
    EXPECT_EQ(graphAt(config, 2).lissajousInput, 1);
    EXPECT_EQ(run(addLissajousCommand, on(2)).kind, GraphChangeKind::none);

    // Graph 1's channels are input 0's position: an encoder signal.
    change = run(signalQualityCommand, on(1));
    EXPECT_EQ(change.kind, GraphChangeKind::signalQualityAdded);
    EXPECT_TRUE(graphAt(config, 1).signalQuality);
    EXPECT_EQ(run(signalQualityCommand, on(1)).kind, GraphChangeKind::none);
    std::next(config.graphList.begin())->channelList.clear();
    std::next(config.graphList.begin())->signalQuality = false;
    EXPECT_EQ(run(signalQualityCommand, on(1)).kind, GraphChangeKind::none);
    // An Analog input alone has no signal quality.
    config.graphList.begin()->channelList.pop_back();
    EXPECT_EQ(run(signalQualityCommand, on(0)).kind, GraphChangeKind::none);
    EXPECT_FALSE(graphAt(config, 0).signalQuality);
}

TEST_F(DiagnosticViewTest, DiagnosticTargetsEditAndRemoveTheirViewAndPassOnTheRest) {
    GraphData& g2 = *std::next(config.graphList.begin(), 2);
    g2.lissajous = true;
    g2.signalQuality = true;
    const GraphTarget lissajous = onView(2, DiagnosticView::Lissajous);
    const GraphTarget quality = onView(2, DiagnosticView::SignalQuality);

    editor.confirm = false;
    EXPECT_EQ(run(editGraphCommand, lissajous).kind, GraphChangeKind::none);
    EXPECT_EQ(g2.lissajousTolerance, "20");
    editor.confirm = true;
    EXPECT_EQ(run(editGraphCommand, lissajous).kind, GraphChangeKind::lissajousEdited);
    EXPECT_EQ(g2.lissajousTolerance, "5");
    EXPECT_EQ(run(editGraphCommand, quality).kind, GraphChangeKind::none);
    EXPECT_EQ(editor.lissajousDialogs, 2);
    EXPECT_EQ(editor.graphDialogs + editor.fftDialogs, 0);

    EXPECT_EQ(run(addFFTGraphCommand, quality).kind, GraphChangeKind::fftAdded);
    EXPECT_EQ(run(addChannelCommand, lissajous).kind, GraphChangeKind::channelInserted);
    EXPECT_EQ(g2.channelList.size(), 5u);

    EXPECT_EQ(run(removeGraphCommand, lissajous).kind, GraphChangeKind::lissajousRemoved);
    EXPECT_EQ(run(removeGraphCommand, quality).kind, GraphChangeKind::signalQualityRemoved);
    EXPECT_FALSE(g2.lissajous);
    EXPECT_FALSE(g2.signalQuality);
    EXPECT_TRUE(g2.fft);
    EXPECT_EQ(graphCaptions(config), (std::vector<std::string>{"g0", "g1", "g2"}));
}

// The menu greys out what the command would refuse: for every command on every kind of target,
// graphCommandApplies agrees with what applying it to a copy does, dialogs confirmed.
TEST_F(DiagnosticViewTest, CommandAppliesExactlyWhenApplyingItChangesSomething) {
    std::next(config.graphList.begin())->fft = true;
    std::vector<GraphTarget> targets{on(-1), on(3), on(0, 1), on(0, 2), on(1, -1, true), on(2, 3)};
    for (DiagnosticView view : {DiagnosticView::Lissajous, DiagnosticView::SignalQuality})
        targets.push_back(onView(2, view));
    for (bool locked : {false, true}) {
        config.lockGraphs = locked;
        for (int command = addGraphCommand; command <= signalQualityCommand; ++command)
            for (const GraphTarget& target : targets) {
                Config copy = config;
                const bool changed =
                    applyGraphCommand(copy, editor, command, target).kind != GraphChangeKind::none;
                EXPECT_EQ(graphCommandApplies(config, command, target), changed)
                    << "command " << command << " graph " << target.graph << " channel "
                    << target.channel << " locked " << locked;
            }
    }
}

} // namespace
