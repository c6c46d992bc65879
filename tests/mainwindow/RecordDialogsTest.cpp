#include "SimulatedBox.h"
#include "WindowFixture.h"
#include "app/Ids.h"
#include "app/WXRecordEditor.h"
#include "graph/EditCommands.h"
#include "graph/FFTGraph.h"
#include "graph/WXConvert.h"
#include "graph/WXInstrumentServer.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/colordlg.h>
#include <wx/msgdlg.h>

#include <cstdlib>
#include <iterator>

namespace {

using namespace std::chrono_literals;

// Ids of the dialogs' controls.
enum { GRAPH_CAPTION = 10000, GRAPH_MIN = 10001, GRAPH_MAX = 10002, GRAPH_STOP = 10003 };
enum { FFT_LOG_SCALE = 10000, FFT_WINDOW = 10001, FFT_AVERAGES = 10002, FFT_SIZE = 10003 };
enum { LISSAJOUS_NOMINAL = 10000, LISSAJOUS_TOLERANCE = 10001 };
enum {
    CHANNEL_CAPTION = 30001,
    CHANNEL_INPUT = 30002,
    CHANNEL_CHANNEL = 30003,
    CHANNEL_OPERATION = 30004,
    CHANNEL_INPUT2 = 30005,
    CHANNEL_CHANNEL2 = 30006,
    CHANNEL_UNIT = 30007,
    CHANNEL_COLOUR = 30010,
};

wxChoice& choiceOf(wxDialog& dialog, int id) {
    return *dynamic_cast<wxChoice*>(dialog.FindWindow(id));
}

// Lets the dialog draw its changed controls first.
void screenshotOf(const std::string& name) {
    if (const char* directory = std::getenv("ORVA_SCREENSHOT_DIR")) {
        pump(300ms);
        screenshot(std::string(directory) + "/" + name);
    }
}

// A box with two SinCos, one HTL/TTL, one SSI and one analog input; one graph "Position" whose
// channel "x" reads the R level of input 1, and a graph "Speed" with an FFT view.
class RecordDialogsTest : public WindowFixture {
protected:
    RecordDialogsTest() {
        Config config;
        GraphData& position = addGraph(config);
        position.caption = "Position";
        ChannelData& x = addChannel(position);
        x.caption = "x";
        x.channel = 4;
        GraphData& speed = addGraph(config);
        speed.caption = "Speed";
        speed.fft = true;
        speed.fftWindow = "Kaiser";
        addChannel(speed).caption = "v";
        writeConfiguration(config);
        openWindow();
    }

    GraphData& graphRecord(int index) {
        return *std::next(frame_->controller().config().graphList.begin(), index);
    }
    const Instrument* instrument(int index) {
        return panel().server().instruments().at(static_cast<std::size_t>(index)).get();
    }

    SimulatedBox box_{boxWithInputs("sin2sq1ssi1ana1")};
};

TEST_F(RecordDialogsTest, GraphSettingsChangeTheRecordOnlyOnOk) {
    const GraphData before = graphRecord(0);
    whenDialogShows([](wxDialog& dialog) {
        EXPECT_EQ(dialog.GetTitle(), "Graph Settings");
        setText(dialog, GRAPH_CAPTION, "Shaft");
        pressButton(dialog, wxID_CANCEL);
    });
    frame_->graphCommands().run(editGraphCommand, instrument(0), -1);
    EXPECT_EQ(graphRecord(0).caption, before.caption);

    whenDialogShows([](wxDialog& dialog) {
        setText(dialog, GRAPH_CAPTION, "Shaft");
        setText(dialog, GRAPH_MAX, "10.5");
        setText(dialog, GRAPH_MIN, "-2");
        dynamic_cast<wxCheckBox*>(dialog.FindWindow(GRAPH_STOP))->SetValue(true);
        screenshotOf("graph-settings.png");
        pressButton(dialog, wxID_OK);
    });
    frame_->graphCommands().run(editGraphCommand, instrument(0), -1);
    const GraphData& after = graphRecord(0);
    EXPECT_EQ(after.caption, "Shaft");
    EXPECT_EQ(after.maxValue, "10.5");
    EXPECT_EQ(after.minValue, "-2");
    EXPECT_TRUE(after.stopOnOutOfRange);
    EXPECT_EQ(after.channelList.at(0).caption, "x");
}

TEST_F(RecordDialogsTest, ChannelChoicesCascadeAndCancelKeepsTheRecord) {
    const ChannelData before = graphRecord(0).channelList.at(0);
    whenDialogShows([](wxDialog& dialog) {
        EXPECT_EQ(dialog.GetTitle(), "Channel Settings");
        // R of a SinCos input: no second source for "none".
        EXPECT_EQ(choiceOf(dialog, CHANNEL_CHANNEL).GetSelection(), 4);
        EXPECT_FALSE(choiceOf(dialog, CHANNEL_INPUT2).IsEnabled());
        // The analog input has a single channel: its last one is taken.
        pickChoice(dialog, CHANNEL_INPUT, 4);
        EXPECT_EQ(choiceOf(dialog, CHANNEL_CHANNEL).GetCount(), 1u);
        EXPECT_EQ(choiceOf(dialog, CHANNEL_CHANNEL).GetSelection(), 0);
        EXPECT_EQ(choiceOf(dialog, CHANNEL_OPERATION).GetSelection(), 0);
        EXPECT_EQ(choiceOf(dialog, CHANNEL_UNIT).GetSelection(), 0);
        // Back to the first SinCos input: the operations offer subtract, which needs input 2.
        pickChoice(dialog, CHANNEL_INPUT, 0);
        pickChoice(dialog, CHANNEL_CHANNEL, 0);
        wxChoice& operation = choiceOf(dialog, CHANNEL_OPERATION);
        const int subtract = operation.FindString("subtract");
        ASSERT_NE(subtract, wxNOT_FOUND);
        pickChoice(dialog, CHANNEL_OPERATION, subtract);
        EXPECT_TRUE(choiceOf(dialog, CHANNEL_INPUT2).IsEnabled());
        EXPECT_TRUE(choiceOf(dialog, CHANNEL_CHANNEL2).IsEnabled());
        pickChoice(dialog, CHANNEL_INPUT2, 4);
        EXPECT_EQ(choiceOf(dialog, CHANNEL_CHANNEL2).GetSelection(), 0);
        pressButton(dialog, wxID_CANCEL);
    });
    frame_->graphCommands().run(editChannelCommand, instrument(0), 0);
    const ChannelData& unchanged = graphRecord(0).channelList.at(0);
    EXPECT_EQ(unchanged.input, before.input);
    EXPECT_EQ(unchanged.channel, before.channel);
    EXPECT_EQ(unchanged.op, before.op);
    EXPECT_EQ(unchanged.input2, before.input2);
    EXPECT_EQ(unchanged.unit, before.unit);
}

TEST_F(RecordDialogsTest, ChannelSettingsOkStoresTheChoices) {
    whenDialogShows([](wxDialog& dialog) {
        setText(dialog, CHANNEL_CAPTION, "dx");
        pickChoice(dialog, CHANNEL_INPUT, 1);
        pickChoice(dialog, CHANNEL_CHANNEL, 0);
        pickChoice(dialog, CHANNEL_OPERATION,
                   choiceOf(dialog, CHANNEL_OPERATION).FindString("subtract"));
        pickChoice(dialog, CHANNEL_INPUT2, 0);
        pickChoice(dialog, CHANNEL_CHANNEL2, 0);
        screenshotOf("channel-settings.png");
        pressButton(dialog, wxID_OK);
    });
    frame_->graphCommands().run(editChannelCommand, instrument(0), 0);
    const ChannelData& edited = graphRecord(0).channelList.at(0);
    EXPECT_EQ(edited.caption, "dx");
    EXPECT_EQ(edited.input, 1);
    EXPECT_EQ(edited.channel, 0);
    EXPECT_EQ(edited.op, 2);
    EXPECT_EQ(edited.input2, 0);
    EXPECT_EQ(edited.channel2, 0);
    // The graph shows the edited channel under its new caption.
    EXPECT_EQ(graphRecord(0).channelList.size(), 1u);
}

TEST_F(RecordDialogsTest, TheColourDialogOpensAtTheChannelsColour) {
    graphRecord(0).channelList.at(0).color = 0x12AB34;
    int offered = -1;
    whenDialogShows([&](wxDialog& dialog) {
        wxTEST_DIALOG(pressButton(dialog, CHANNEL_COLOUR),
                      DialogAnswer<wxColourDialog>([&](wxColourDialog& colours) {
                          offered = rgbOf(colours.GetColourData().GetColour());
                          return wxID_CANCEL;
                      }));
        pressButton(dialog, wxID_CANCEL);
    });
    frame_->graphCommands().run(editChannelCommand, instrument(0), 0);
    EXPECT_EQ(offered, 0x12AB34);
}

TEST_F(RecordDialogsTest, FftSettingsTakeEffectOnOkAndCancelKeepsAllFour) {
    ASSERT_EQ(panel().server().instruments().size(), 3u);
    whenDialogShows([](wxDialog& dialog) {
        EXPECT_EQ(dialog.GetTitle(), "FFT Settings");
        // "Kaiser" is none of the six windows: nothing is selected.
        EXPECT_EQ(choiceOf(dialog, FFT_WINDOW).GetSelection(), wxNOT_FOUND);
        setText(dialog, FFT_AVERAGES, "4");
        pressButton(dialog, wxID_CANCEL);
    });
    frame_->graphCommands().run(editGraphCommand, instrument(2), -1);
    EXPECT_EQ(graphRecord(1).fftWindow, "Kaiser");
    EXPECT_EQ(graphRecord(1).fftNumAverages, "0");

    whenDialogShows([](wxDialog& dialog) {
        pickChoice(dialog, FFT_WINDOW, 5);
        setText(dialog, FFT_AVERAGES, "4");
        setText(dialog, FFT_SIZE, "1024");
        dynamic_cast<wxCheckBox*>(dialog.FindWindow(FFT_LOG_SCALE))->SetValue(false);
        screenshotOf("fft-settings.png");
        pressButton(dialog, wxID_OK);
    });
    frame_->graphCommands().run(editGraphCommand, instrument(2), -1);
    const GraphData& edited = graphRecord(1);
    EXPECT_EQ(edited.fftWindow, "Flat Top");
    EXPECT_EQ(edited.fftNumAverages, "4");
    EXPECT_EQ(edited.fftSize, "1024");
    EXPECT_FALSE(edited.fftLogScale);
    // The FFT view was made again from the record.
    ASSERT_EQ(panel().server().instruments().size(), 3u);
    EXPECT_NE(dynamic_cast<const FFTGraph*>(instrument(2)), nullptr);
}

// A field that is no usable number keeps the dialog open with a message; OK then takes both.
TEST_F(RecordDialogsTest, LissajousSettingsTakeOnlyUsableNumbers) {
    GraphData graph;
    std::vector<std::string> messages;
    const auto answerMessage = [&](wxMessageDialog& box) {
        messages.push_back(box.GetMessage().ToStdString());
        return wxID_OK;
    };
    whenDialogShows([&](wxDialog& dialog) {
        EXPECT_EQ(dialog.GetTitle(), "Lissajous view");
        setText(dialog, LISSAJOUS_NOMINAL, "0");
        wxTEST_DIALOG(pressButton(dialog, wxID_OK), DialogAnswer<wxMessageDialog>(answerMessage));
        setText(dialog, LISSAJOUS_NOMINAL, "0,8");
        setText(dialog, LISSAJOUS_TOLERANCE, "100");
        wxTEST_DIALOG(pressButton(dialog, wxID_OK), DialogAnswer<wxMessageDialog>(answerMessage));
        EXPECT_TRUE(dialog.IsModal());
        setText(dialog, LISSAJOUS_TOLERANCE, "12.5");
        pressButton(dialog, wxID_OK);
    });
    WXRecordEditor editor(frame_);
    EXPECT_TRUE(editor.editLissajous(graph));
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Nominal radius [V] must be a number greater than 0.",
                            "Tolerance [%] must be a number of at least 0 and below 100."}));
    EXPECT_EQ(graph.lissajousNominal, "0,8");
    EXPECT_EQ(graph.lissajousTolerance, "12.5");
}

} // namespace
