#include "config/SettingsDialog.h"
#include "SimulatedBox.h"
#include "WindowFixture.h"
#include "app/Ids.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/notebook.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

// A status bar that keeps every text shown in it, in order.
class RecordingStatusBar : public wxStatusBar {
public:
    explicit RecordingStatusBar(wxWindow* parent) : wxStatusBar(parent) {}
    Texts texts;

protected:
    void DoUpdateStatusText(int field) override {
        texts.push_back(GetStatusText(field).ToStdString());
        wxStatusBar::DoUpdateStatusText(field);
    }
};

// Answers the modal settings dialog like a user: the edits, then the button.
class SettingsAnswer : public wxExpectModalBase<SettingsDialog, SettingsAnswer> {
public:
    SettingsAnswer(std::function<void(SettingsDialog&)> edit, int button)
        : edit_(std::move(edit)), button_(button) {}

protected:
    int OnInvoked(SettingsDialog* dialog) const override {
        edit_(*dialog);
        // What the toolkit does for the Ok button.
        if (button_ == wxID_OK && !(dialog->Validate() && dialog->TransferDataFromWindow()))
            return wxID_CANCEL;
        return button_;
    }

private:
    std::function<void(SettingsDialog&)> edit_;
    int button_;
};

template <typename Control> Control* find(wxWindow* parent, const wxString& name) {
    auto* control = dynamic_cast<Control*>(wxWindow::FindWindowByName(name, parent));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

// A selection made by the user, with its change event.
void choose(wxChoice* choice, int position) {
    choice->SetSelection(position);
    wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
    event.SetEventObject(choice);
    event.SetInt(position);
    choice->GetEventHandler()->ProcessEvent(event);
}

Texts pageTitles(const wxNotebook* notebook) {
    Texts titles;
    for (std::size_t i = 0; i < notebook->GetPageCount(); ++i)
        titles.push_back(notebook->GetPageText(i).ToStdString());
    return titles;
}

// Presses a button of the settings dialog as soon as it runs modally, as the user would.
void pressWhenModal(int button) {
    wxTheApp->CallAfter([button] {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<SettingsDialog*>(window); dialog && dialog->IsModal()) {
                wxCommandEvent press(wxEVT_BUTTON, button);
                press.SetEventObject(dialog->FindWindow(button));
                dialog->GetEventHandler()->ProcessEvent(press);
            }
    });
}

// Every page of the dialog on screen, one picture each.
void screenshotPages(SettingsDialog& dialog, const std::string& directory) {
    dialog.Show();
    for (std::size_t i = 0; i < dialog.notebook()->GetPageCount(); ++i) {
        dialog.notebook()->SetSelection(i);
        pump(300ms);
        screenshot(directory + "/settings-page" + std::to_string(i + 1) + ".png");
    }
    dialog.Hide();
}

class SettingsDialogTest : public WindowFixture {
protected:
    // The window with a status bar that keeps every text it showed.
    void openWindow() {
        frame_ = new MainFrame;
        ASSERT_TRUE(frame_->startUp());
        frame_->controller().link().setCommandPause(0ms);
        wxStatusBar* original = frame_->GetStatusBar();
        statusBar_ = new RecordingStatusBar(frame_);
        frame_->SetStatusBar(statusBar_);
        original->Destroy();
        frame_->Show();
        pump(100ms);
    }
    void openSettings(std::function<void(SettingsDialog&)> edit, int button) {
        wxTEST_DIALOG(click(frame_, ID_SETTINGS, wxEVT_MENU), SettingsAnswer(edit, button));
    }

    // What the box received after the connect sequence, which ends with "*IDN?".
    static Texts afterConnect(const Texts& transcript) {
        const auto idn = std::find(transcript.rbegin(), transcript.rend(), "*IDN?");
        return Texts(idn.base(), transcript.end());
    }

    RecordingStatusBar* statusBar_ = nullptr;
};

TEST_F(SettingsDialogTest, OkAppliesTheChangesStepByStep) {
    SimulatedBox box(boxWithInputs("sin1sq1ssi1ana1"));
    openWindow();
    openSettings(
        [](SettingsDialog& dialog) {
            EXPECT_EQ(dialog.GetTitle(), "Settings Dialog");
            EXPECT_EQ(pageTitles(dialog.notebook()),
                      (Texts{"SinCos 1", "HTL/TTL 2", "SSI 3", "Analog 4"}));
            // On a 1366 x 768 screen, with room for a title bar and a desktop panel.
            EXPECT_LE(dialog.GetSize().GetWidth(), 1366);
            EXPECT_LE(dialog.GetSize().GetHeight(), 700);
            wxChoice* rate = find<wxChoice>(&dialog, "rate");
            EXPECT_EQ(rate->GetStringSelection(), "10000");
            EXPECT_EQ(rate->GetToolTipText(), "Set the number of samples per second.");
            choose(rate, rate->FindString("20000"));

            // Three SSI words: the two new rows come alive as one-bit positions.
            wxWindow* ssi = dialog.notebook()->GetPage(2);
            EXPECT_FALSE(find<wxSpinCtrl>(ssi, "bitsTotal1")->IsEnabled());
            choose(find<wxChoice>(ssi, "numWords"), 2);
            for (const char* row : {"1", "2", "3"}) {
                EXPECT_TRUE(find<wxSpinCtrl>(ssi, wxString("bitsTotal") + row)->IsEnabled());
                EXPECT_EQ(find<wxSpinCtrl>(ssi, wxString("bitsSingle") + row)->GetValue(), 1);
                EXPECT_EQ(find<wxTextCtrl>(ssi, wxString("scale") + row)->GetValue(),
                          "1.000000000000");
            }
            EXPECT_FALSE(find<wxCheckBox>(ssi, "sign1")->IsEnabled());
            EXPECT_FALSE(find<wxSpinCtrl>(ssi, "bitsTotal4")->IsEnabled());

            if (const char* directory = std::getenv("ORVA_SCREENSHOT_DIR"))
                screenshotPages(dialog, directory);
        },
        wxID_OK);

    EXPECT_EQ(statusBar_->texts, (Texts{"Checking configuration...", "Stopping transfer...",
                                        "Ready", "Configuring device...", "Updating bindings...",
                                        "Redrawing with new settings...", "Ready"}));
    const InputSettings& inputs = frame_->controller().config().inputSettings;
    EXPECT_EQ(inputs.rate, 20000);
    EXPECT_EQ(inputs.ssiInputs.at(0).numWords, 3);
    EXPECT_EQ(inputs.ssiInputs.at(0).words[2].numBits, 1);
}

TEST_F(SettingsDialogTest, OkWithoutChangesOrCancelSendNothingAndTheDialogFollowsTheInputs) {
    SimulatedBox box(boxWithInputs("sin1"));
    openWindow();
    // Shown for real, confirmed as it is.
    pressWhenModal(wxID_OK);
    click(frame_, ID_SETTINGS, wxEVT_MENU);
    EXPECT_EQ(statusBar_->texts, Texts{"Ready"});
    statusBar_->texts.clear();

    SettingsDialog* shown = nullptr;
    openSettings(
        [&](SettingsDialog& dialog) {
            shown = &dialog;
            choose(find<wxChoice>(&dialog, "rate"), 0);
            find<wxTextCtrl>(dialog.notebook()->GetPage(0), "periods")->ChangeValue("10");
        },
        wxID_CANCEL);
    EXPECT_TRUE(statusBar_->texts.empty());
    EXPECT_EQ(frame_->controller().config().inputSettings.rate, 10000);
    EXPECT_EQ(frame_->controller().config().inputSettings.sineInputs.at(0).periods, 1024.0);

    // A configuration of another box: the same dialog, with that box's pages.
    Config other;
    resizeInputs(other.inputSettings, 0, 0, 2, 0);
    other.inputSettings.ssiInputs[1].numWords = 1;
    other.inputSettings.ssiInputs[1].words[0].numBits = 13;
    const std::string path = home_ + "/other.cfg";
    ASSERT_TRUE(saveConfig(other, path));
    // Loaded without telling the box, which would answer with its own inputs; the graphs are
    // rebuilt because the load replaced the graph list they draw from.
    ASSERT_TRUE(frame_->controller().loadConfigFile(path));
    frame_->controller().rebuildGraphs("");
    openSettings(
        [&](SettingsDialog& dialog) {
            EXPECT_EQ(&dialog, shown);
            EXPECT_EQ(pageTitles(dialog.notebook()), (Texts{"SSI 1", "SSI 2"}));
            wxWindow* second = dialog.notebook()->GetPage(1);
            EXPECT_EQ(find<wxSpinCtrl>(second, "bitsTotal1")->GetValue(), 13);
            EXPECT_EQ(find<wxSpinCtrl>(second, "bitsSingle1")->GetValue(), 13);
        },
        wxID_CANCEL);
    closeWindow();
    box.stop();
    EXPECT_TRUE(afterConnect(box.model().transcript()).empty());
}

} // namespace
