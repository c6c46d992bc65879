#include "control/GraphCommandHandler.h"
#include "ControllerTestSupport.h"
#include "control/InstrumentGraphBoard.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

// Confirms every record as offered, as if each dialog were closed with OK at once.
class AcceptingRecordEditor : public RecordEditor {
public:
    bool editGraph(GraphData&) override { return true; }
    bool editFFT(GraphData&) override { return true; }
    bool editChannel(const InputSettings&, ChannelData&) override { return true; }
    bool editLissajous(GraphData&) override { return true; }
};

// Two graphs; graph 1 has channels "a" and "b". No box is connected.
class GraphCommandHandlerTest : public ::testing::Test {
protected:
    GraphCommandHandlerTest() {
        board.attach(server);
        Config& config = controller.config();
        config.graphList.resize(2);
        for (const char* caption : {"a", "b"}) {
            ChannelData channel;
            channel.caption = caption;
            graphRecord(1).channelList.push_back(channel);
        }
        controller.rebuildGraphs("");
        ui.statuses.clear();
    }

    GraphData& graphRecord(int index) {
        return *std::next(controller.config().graphList.begin(), index);
    }
    Graph& graph(int index) { return *board.graphs().at(static_cast<std::size_t>(index)); }
    // Marks a channel's data so that the tests see where its trace went.
    void mark(int graphIndex, int channel, double value) {
        graph(graphIndex).appendSamples(channel, &value, 1);
    }

    FakeUI ui;
    TestServer server;
    InstrumentGraphBoard board;
    MainController controller{ui, board, "/nonexistent/orva.cfg"};
    AcceptingRecordEditor editor;
    GraphCommandHandler handler{controller, board, editor};
};

TEST_F(GraphCommandHandlerTest, InsertedChannelGetsItsOwnTraceAndTheOthersKeepTheirData) {
    mark(1, 0, 5.0);
    mark(1, 1, 7.0);
    handler.run(insertChannelCommand, &graph(1), 1);
    ASSERT_EQ(graphRecord(1).channelList.size(), 3u);
    ASSERT_EQ(graph(1).traces().size(), 3u);
    EXPECT_EQ(graph(1).traces()[0].samples[0], 5.0);
    EXPECT_EQ(graph(1).traces()[1].samples[0], 0.0);
    EXPECT_EQ(graph(1).traces()[2].samples[0], 7.0);
    // Applied like a settings change: the transfer stopped, the panel repainted.
    EXPECT_EQ(ui.statuses, std::vector<std::string>{"Ready"});
    EXPECT_GE(server.refreshes, 1);
}

TEST_F(GraphCommandHandlerTest, AChannelWithoutMemoryForItsWindowIsNotAdded) {
    controller.setAvailableMemory([] { return std::uint64_t(0); });
    mark(1, 1, 7.0);
    handler.run(insertChannelCommand, &graph(1), 1);
    EXPECT_EQ(graphRecord(1).channelList.size(), 2u);
    ASSERT_EQ(graph(1).traces().size(), 2u);
    EXPECT_EQ(graph(1).traces()[1].samples[0], 7.0);
    // Nothing was stopped or rebuilt; the status bar says why.
    ASSERT_EQ(ui.statuses.size(), 1u);
    EXPECT_EQ(ui.statuses[0].rfind("Not enough memory for the graphs", 0), 0u);
    // Removing needs no memory.
    handler.run(removeChannelCommand, &graph(1), 0);
    EXPECT_EQ(graphRecord(1).channelList.size(), 1u);
}

TEST_F(GraphCommandHandlerTest, RemovedChannelTakesItsTraceAlong) {
    mark(1, 0, 5.0);
    mark(1, 1, 7.0);
    handler.run(removeChannelCommand, &graph(1), 0);
    ASSERT_EQ(graph(1).traces().size(), 1u);
    EXPECT_EQ(graph(1).traces()[0].samples[0], 7.0);
    EXPECT_EQ(graphRecord(1).channelList.at(0).caption, "b");
}

TEST_F(GraphCommandHandlerTest, AddedAndRemovedGraphsRecreateTheInstruments) {
    handler.run(addGraphCommand, nullptr, -1);
    ASSERT_EQ(board.graphs().size(), 3u);
    EXPECT_EQ(server.instruments().size(), 3u);
    handler.run(removeGraphCommand, &graph(0), -1);
    ASSERT_EQ(board.graphs().size(), 2u);
    EXPECT_EQ(controller.config().graphList.size(), 2u);
    // The graph with channels moved up, and its instrument with it.
    EXPECT_EQ(graph(0).traces().size(), 2u);
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{"Ready", "Ready"}));
}

TEST_F(GraphCommandHandlerTest, FFTViewComesAndGoesWithoutItsGraph) {
    handler.run(addFFTGraphCommand, &graph(1), -1);
    EXPECT_TRUE(graphRecord(1).fft);
    ASSERT_EQ(board.fftViews().size(), 1u);
    ASSERT_EQ(graph(1).fftView(), board.fftViews()[0]);
    // "Remove graph" on the view removes the view only.
    handler.run(removeGraphCommand, graph(1).fftView(), -1);
    EXPECT_FALSE(graphRecord(1).fft);
    EXPECT_TRUE(board.fftViews().empty());
    EXPECT_EQ(board.graphs().size(), 2u);
    EXPECT_EQ(graph(1).fftView(), nullptr);
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{"Ready", "Ready"}));
}

// The menu's filter: whether a command applies is judged on the graph of the menu's instrument.
TEST_F(GraphCommandHandlerTest, ACommandAppliesToTheGraphOfTheMenusInstrument) {
    handler.run(addFFTGraphCommand, &graph(1), -1);
    EXPECT_TRUE(handler.applies(addFFTGraphCommand, &graph(0), -1));
    EXPECT_FALSE(handler.applies(addFFTGraphCommand, graph(1).fftView(), -1));
    EXPECT_TRUE(handler.applies(removeGraphCommand, graph(1).fftView(), -1));
    EXPECT_TRUE(handler.applies(editChannelCommand, &graph(1), 1));
    EXPECT_FALSE(handler.applies(editChannelCommand, &graph(0), 0));
    EXPECT_FALSE(handler.applies(removeGraphCommand, nullptr, -1));
    EXPECT_TRUE(handler.applies(addGraphCommand, nullptr, -1));
}

TEST_F(GraphCommandHandlerTest, GraphAndFFTCommandsChangeOnlyTheGraphConcerned) {
    server.layout(612, 900);
    mark(1, 0, 5.0);
    Graph* kept = &graph(1);
    handler.run(addFFTGraphCommand, &graph(0), -1);
    handler.run(editGraphCommand, graph(0).fftView(), -1);
    handler.run(removeGraphCommand, graph(0).fftView(), -1);
    // An added graph takes the others' X axis once it has its place.
    handler.run(addGraphCommand, nullptr, -1);
    server.layout(612, 900);
    EXPECT_DOUBLE_EQ(graphRecord(2).scale.x, graphRecord(0).scale.x);
    handler.run(removeGraphCommand, &graph(0), -1);
    ASSERT_EQ(&graph(0), kept);
    EXPECT_EQ(graph(0).traces()[0].samples[0], 5.0);
    EXPECT_EQ(&graph(0).record(), &graphRecord(0));
    EXPECT_EQ(server.instruments().size(), 2u);
}

TEST_F(GraphCommandHandlerTest, InstrumentOutsideTheBoardChangesNothing) {
    TestServer other;
    const KLib::Ref<Graph> stranger =
        other.createGraph(controller.config().inputSettings, graphRecord(1));
    handler.run(removeGraphCommand, stranger.get(), -1);
    handler.run(removeChannelCommand, nullptr, 0);
    EXPECT_EQ(controller.config().graphList.size(), 2u);
    EXPECT_EQ(graphRecord(1).channelList.size(), 2u);
    EXPECT_TRUE(ui.statuses.empty());
    EXPECT_EQ(server.refreshes, 0);
}

TEST_F(GraphCommandHandlerTest, LockedGraphsStayAsTheyAre) {
    controller.config().lockGraphs = true;
    handler.run(addGraphCommand, nullptr, -1);
    handler.run(removeChannelCommand, &graph(1), 0);
    EXPECT_EQ(board.graphs().size(), 2u);
    EXPECT_EQ(graph(1).traces().size(), 2u);
    EXPECT_TRUE(ui.statuses.empty());
}

} // namespace
