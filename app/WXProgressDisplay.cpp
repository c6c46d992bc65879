#include "app/WXProgressDisplay.h"

#include "graph/WXConvert.h"

#include <wx/progdlg.h>

#include <algorithm>
#include <cmath>

WXProgressDisplay::WXProgressDisplay(wxWindow* parent) : parent_(parent) {}

WXProgressDisplay::~WXProgressDisplay() = default;

void WXProgressDisplay::show(const std::string& title, double fraction) {
    const int percent = static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * 100.0));
    if (!dialog_) {
        dialog_ = std::make_unique<wxProgressDialog>(
            "ORVA 2 USB", toWx(title + "..."), 100, parent_,
            wxPD_APP_MODAL | wxPD_AUTO_HIDE | wxPD_ELAPSED_TIME | wxPD_REMAINING_TIME);
        title_ = title;
        percent_ = 0;
    }
    // One update per percent is smooth enough; updating for every report would cost more than
    // the work between them.
    if (percent == percent_ && title == title_)
        return;
    percent_ = percent;
    if (title == title_) {
        dialog_->Update(percent);
    } else {
        title_ = title;
        dialog_->Update(percent, toWx(title + "..."));
    }
}

void WXProgressDisplay::end() {
    dialog_.reset();
    percent_ = -1;
}
