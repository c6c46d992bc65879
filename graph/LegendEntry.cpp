#include "graph/LegendEntry.h"

#include "graph/Painter.h"

namespace {
// Texts are Latin-1, which has no ellipsis character.
const std::string ellipsis = "...";
} // namespace

void drawLegendEntry(Painter& painter, double x, double top, double fontHeight, int colour,
                     const std::string& text, double right) {
    painter.setBrush(Brush{colour & 0xFFFFFF, true});
    painter.rectangle(x, top + 0.1 * fontHeight, x + 0.8 * fontHeight, top + 0.9 * fontHeight);
    const double textX = x + fontHeight;
    painter.text(fittedText(painter, text, right - textX), textX, top);
}

std::string fittedText(Painter& painter, const std::string& text, double width) {
    if (painter.textExtent(text).width <= width)
        return text;
    for (std::size_t length = text.size(); length-- > 0;) {
        std::string shortened = text.substr(0, length);
        // "SSI vel..." rather than "SSI vel ...".
        while (!shortened.empty() && shortened.back() == ' ')
            shortened.pop_back();
        shortened += ellipsis;
        if (painter.textExtent(shortened).width <= width)
            return shortened;
    }
    return "";
}
