// The controller with the graph instruments of the window, where faults of the records they
// draw from show.

#include "ControllerTestSupport.h"
#include "SimulatedBox.h"
#include "config/ConfigFile.h"
#include "control/InstrumentGraphBoard.h"
#include "files/CsvExport.h"
#include "files/MatDataReader.h"
#include "files/SampleSource.h"
#include "signal/Units.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

class LiveGraphsTest : public ::testing::Test {
protected:
    LiveGraphsTest() {
        char pattern[] = "/tmp/orva-live-XXXXXX";
        home_ = mkdtemp(pattern);
        board.attach(server);
    }
    ~LiveGraphsTest() override { std::filesystem::remove_all(home_); }

    std::unique_ptr<MainController> startController() {
        auto controller = std::make_unique<MainController>(ui, board, home_ + "/orva.cfg");
        controller->link().setCommandPause(0ms);
        EXPECT_TRUE(controller->startUp());
        server.layout(812, 662);
        return controller;
    }
    // Everything the panel shows, painted once.
    void paint() {
        std::vector<Drawn> log;
        RecordingPainter painter(log);
        server.paintInstruments(painter, 812, 662);
    }
    Graph& graph(int index) { return *board.graphs().at(static_cast<std::size_t>(index)); }
    static void ticks(MainController& controller, FakeUI& ui, int count) {
        for (int i = 0; i < count; ++i) {
            std::this_thread::sleep_for(20ms);
            ui.tick(controller);
        }
    }

    // Every row of the first channel of a recording file.
    static std::vector<double> firstChannel(const std::string& path) {
        std::string error;
        const std::unique_ptr<SampleSource> source = openSampleSource(path, error);
        EXPECT_TRUE(source) << error;
        std::vector<double> values;
        if (!source)
            return values;
        std::vector<std::vector<double>> block(source->layout().graphs.at(0).channels.size(),
                                               std::vector<double>(4096));
        std::vector<double*> columns;
        for (std::vector<double>& column : block)
            columns.push_back(column.data());
        while (const std::size_t rows = source->read(4096, columns))
            values.insert(values.end(), block[0].begin(), block[0].begin() + rows);
        EXPECT_EQ(source->error(), "");
        return values;
    }

    std::string home_;
    FakeUI ui;
    TestServer server;
    InstrumentGraphBoard board;
};

TEST_F(LiveGraphsTest, ALoadDuringALogRecordingStopsItFirstAndTheGraphsDrawTheNewRecords) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    controller->config().inputSettings.logTime = 2.0f;
    controller->startRecording(Log);
    ticks(*controller, ui, 3);

    Config other;
    addDefaultGraph(other);
    addDefaultGraph(other);
    other.inputSettings.displayTime = 3.0f;
    const std::string path = home_ + "/other.cfg";
    ASSERT_TRUE(saveConfig(other, path));
    // Broken off: the configuration in force stays, the recording goes on.
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
    controller->loadConfiguration(path);
    EXPECT_EQ(ui.statuses.back(), "Failed to load configuration!");
    EXPECT_EQ(controller->recordingMode(), Log);
    paint();

    ASSERT_TRUE(saveConfig(other, path));
    controller->loadConfiguration(path);
    EXPECT_EQ(controller->recordingMode(), Idle);
    // The display time loaded, not the one the log recording put aside.
    EXPECT_EQ(controller->config().inputSettings.displayTime, 3.0f);
    ASSERT_EQ(board.graphs().size(), 2u);
    EXPECT_EQ(&graph(1).record(), &controller->config().graphList.back());
    board.rebuildAll();
    paint();
}

TEST_F(LiveGraphsTest, ANewUsersGraphSpansTheDisplayTimeAtEveryStart) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    for (int start = 0; start < 2; ++start) {
        controller->startRecording(Continuous);
        controller->stopRecording();
        const PlotFrame frame = graph(0).frame();
        EXPECT_NEAR(frame.xValue(frame.p2.x) - frame.xValue(frame.p1.x), 1.0, 0.01);
    }
}

TEST_F(LiveGraphsTest, SaveDataAfterAStopInsideASweepWritesOnlyThatSweep) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    // 1000-sample sweeps of 100 ms.
    controller->config().inputSettings.rate = 10000;
    controller->config().inputSettings.displayTime = 0.1f;
    controller->startRecording(Continuous);
    for (int i = 0; i < 100 && !(graph(0).timing().highWater == 1000 && graph(0).writeIndex() > 0 &&
                                 graph(0).writeIndex() < 900);
         ++i)
        ticks(*controller, ui, 1);
    controller->stopRecording();
    const int written = graph(0).writeIndex();
    ASSERT_GT(written, 0);
    ASSERT_LT(written, 1000);

    const std::string path = home_ + "/stopped.csv";
    controller->writeDataFile(path);
    std::ifstream in(path);
    std::string line;
    std::vector<std::string> rows;
    while (std::getline(in, line))
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 3u + 1000u);
    // Time, then the one channel: a value up to the write position, nothing behind it.
    const auto cell = [&](int k) {
        const std::string& row = rows[3 + static_cast<std::size_t>(k)];
        return row.substr(row.find(csvSeparator()) + 1);
    };
    EXPECT_FALSE(cell(written - 1).empty());
    EXPECT_TRUE(cell(written).empty());
    EXPECT_TRUE(cell(999).empty());
}

TEST_F(LiveGraphsTest, ADataFileWhoseSideConfigurationBreaksOffIsBuiltFromTheFile) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    controller->config().inputSettings.rate = 10000;
    controller->startRecording(Single);
    while (controller->recordingMode() == Single)
        ui.tick(*controller);
    const std::string path = home_ + "/single.mat";
    controller->writeDataFile(path);
    const std::string side = home_ + "/single.cfg";
    std::filesystem::resize_file(side, std::filesystem::file_size(side) / 2);
    controller->loadDataFile(path);
    ASSERT_EQ(board.graphs().size(), 1u);
    EXPECT_EQ(&graph(0).record(), &controller->config().graphList.front());
    EXPECT_EQ(graph(0).writeIndex(), 10000);
    paint();
}

TEST_F(LiveGraphsTest, ADeliveryOfTheRecordingBeforeIsNotDecodedIntoTheNext) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    controller->config().inputSettings.rate = 10000;
    controller->startRecording(Continuous);
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(ui.tickUnhandled(*controller));
    // Start pressed while the delivery waits in the event queue.
    controller->startRecording(Continuous);
    controller->handleDataArrival();
    EXPECT_EQ(graph(0).writeIndex(), 0);
    ticks(*controller, ui, 3);
    EXPECT_GT(graph(0).writeIndex(), 0);
    controller->stopRecording();
}

TEST_F(LiveGraphsTest, ConnectWhileConnectedClosesTheBoxFirstAndFindsItAgain) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    EXPECT_TRUE(controller->connectBox());
    EXPECT_TRUE(controller->isConnected());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.statuses.back().rfind("Connected to: ", 0), 0u);
}

// A log the graphs cannot hold goes into the chosen file: all of the log time without a gap,
// while the graphs sweep over their display time and hold no more than that.
TEST_F(LiveGraphsTest, ALogBeyondTheMemoryGoesIntoAFileWhileTheGraphsSweep) {
    boxsim::BoxConfig turning = boxWithInputs("sin1");
    turning.speed.shape = boxsim::SpeedProfile::Shape::Constant;
    turning.speed.a = 2.0; // turns per second
    SimulatedBox box(turning);
    auto controller = startController();
    controller->setAvailableMemory([] { return std::uint64_t(0); });
    InputSettings& inputs = controller->config().inputSettings;
    inputs.rate = 10000;
    inputs.displayTime = 0.1f;                                           // sweeps of 1000 samples
    inputs.logTime = 1.5f;                                               // 15000 samples
    controller->config().graphList.front().channelList.front().unit = 1; // turns
    ui.logFile = home_ + "/log.h5";
    controller->startRecording(Log);
    ASSERT_EQ(controller->recordingMode(), Log);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].rfind("Not enough memory for the graphs: ", 0), 0u);
    for (int i = 0; i < 200 && controller->recordingMode() == Log; ++i)
        ticks(*controller, ui, 1);

    EXPECT_EQ(controller->recordingMode(), Idle);
    EXPECT_EQ(ui.statuses.back(), "Log of 1.5 s written to " + ui.logFile + ".");
    EXPECT_EQ(ui.saveOffers, 0);
    EXPECT_EQ(graph(0).capacity(), 1000);
    const std::vector<double> logged = firstChannel(ui.logFile);
    ASSERT_EQ(logged.size(), 15000u);
    // 2 turns/s at 10 kS/s: 0.0002 turns from row to row, also where the graphs began a sweep.
    for (std::size_t i = 1; i < logged.size(); ++i)
        ASSERT_NEAR(logged[i] - logged[i - 1], 0.0002, 1e-6) << "at row " << i;
    // The last sweep shown stands in the file as it was drawn.
    std::vector<double> shown(static_cast<std::size_t>(graph(0).writeIndex()));
    ASSERT_EQ(graph(0).copySamples(0, 0, shown.data(), graph(0).writeIndex()), shown.size());
    const auto from = std::find(logged.begin(), logged.end(), shown.at(0));
    ASSERT_NE(from, logged.end());
    const std::size_t common = std::min<std::size_t>(shown.size(), logged.end() - from);
    EXPECT_TRUE(std::equal(shown.begin(), shown.begin() + common, from));

    // Stopped early: a shorter file, complete.
    ui.logFile = home_ + "/stopped.csv";
    controller->startRecording(Log);
    ticks(*controller, ui, 10);
    controller->stopRecording();
    const std::vector<double> stopped = firstChannel(ui.logFile);
    EXPECT_GT(stopped.size(), 0u);
    EXPECT_LT(stopped.size(), 15000u);
    EXPECT_NE(ui.statuses.back().find(" written to " + ui.logFile), std::string::npos);
}

TEST_F(LiveGraphsTest, TheDiagnosticViewsMeasureTheImperfectTracksOfTheBox) {
    boxsim::BoxConfig imperfect = boxWithInputs("sin1");
    // 0.05 turns/s: 51 signal periods per second, about 200 samples each at the 10 kS/s the
    // box is connected with.
    imperfect.speed = boxsim::SpeedProfile{boxsim::SpeedProfile::Shape::Constant, 0.05, 0.0, 1.0};
    imperfect.sinCosImperfections[1] =
        boxsim::SinCosImperfection{0.55, 0.5, 0.02, -0.015, 3.0, 0.001};
    SimulatedBox box(imperfect);
    auto controller = startController();
    controller->config().inputSettings.displayTime = 1.0f;
    GraphData& record = controller->config().graphList.front();
    for (int signal = 2; signal <= 4; ++signal) {
        ChannelData& channel = addChannel(record);
        channel.channel = signal;
        channel.unit = unitIndex("V");
    }
    record.lissajous = true;
    record.signalQuality = true;
    controller->startRecording(Single);
    while (controller->recordingMode() == Single)
        ui.tick(*controller);
    const std::vector<DiagnosticRecord> records = board.diagnosticRecords();
    ASSERT_EQ(records.size(), 2u);
    std::map<std::string, double> figures;
    for (const DiagnosticFigure& figure : records[0].figures)
        figures[figure.name] = figure.value;
    EXPECT_NEAR(figures["amplitudeA_Vpp"], 1.1, 1.1 * 0.005);
    EXPECT_NEAR(figures["amplitudeRatio"], 0.5 / 0.55, 0.5 / 0.55 * 0.005);
    EXPECT_NEAR(figures["offsetA_mV"], 20.0, 5.5);
    EXPECT_NEAR(figures["offsetB_mV"], -15.0, 5.0);
    EXPECT_NEAR(figures["phaseError_deg"], 3.0, 0.2);
    EXPECT_NEAR(figures["periods"], 0.05 * 1024.0, 1.0);
    // The table of the same input found the same figures.
    EXPECT_EQ(records[1].figures.front().name, "in1_amplitudeA_Vpp");
    EXPECT_DOUBLE_EQ(records[1].figures.front().value, figures["amplitudeA_Vpp"]);
    paint();
}

// Single waits for its trigger and saves a sweep whose event is at the pre-trigger index: a
// track crossing 0 V upwards, then the shaft's reference pulse.
TEST_F(LiveGraphsTest, ATriggeredSingleSweepHasItsEventAtThePreTriggerIndex) {
    boxsim::BoxConfig turning = boxWithInputs("sin1");
    turning.speed.shape = boxsim::SpeedProfile::Shape::Constant;
    turning.speed.a = 20.0; // turns per second: a reference pulse every 50 ms
    SimulatedBox box(turning);
    auto controller = startController();
    Config& config = controller->config();
    config.inputSettings.rate = 10000;
    config.inputSettings.displayTime = 0.1f; // 1000 samples, 250 of them before the event
    GraphData& graph = config.graphList.front();
    for (const int signal : {2, 4}) { // Analog A, R
        ChannelData& channel = addChannel(graph);
        channel.input = 0;
        channel.channel = signal;
    }
    config.trigger.enabled = true;
    config.trigger.graph = 0;
    config.trigger.channel = 1;
    config.trigger.level = "0";
    config.trigger.preTrigger = "25";
    for (const int source : {TriggerSettings::ChannelLevel, TriggerSettings::ReferencePulse}) {
        config.trigger.source = source;
        controller->startRecording(Single);
        EXPECT_EQ(ui.statuses.back(), "Waiting for trigger...");
        for (int i = 0; i < 200 && controller->recordingMode() == Single; ++i)
            ticks(*controller, ui, 1);
        ASSERT_EQ(controller->recordingMode(), Idle);

        const std::string path = home_ + "/triggered.mat";
        controller->writeDataFile(path);
        LoadedData data;
        ASSERT_TRUE(readMatDataFile(path, data));
        EXPECT_EQ(data.triggerIndex, 250);
        ASSERT_EQ(data.graphs.at(0).channels.size(), 3u);
        const std::vector<double>& event =
            data.graphs[0].channels[source == TriggerSettings::ChannelLevel ? 1 : 2].values;
        ASSERT_EQ(event.size(), 1000u);
        const double level = source == TriggerSettings::ChannelLevel ? 0.0 : 0.5;
        EXPECT_LT(event[249], level);
        EXPECT_GE(event[250], level);
    }
    // A pulse no graph shows cannot trigger: nothing starts, and the user is told why.
    graph.channelList.pop_back();
    controller->startRecording(Single);
    EXPECT_EQ(controller->recordingMode(), Idle);
    EXPECT_EQ(ui.messages.back(), "No graph shows the R signal of Input 1 (SinCos) to trigger on");
}

} // namespace
