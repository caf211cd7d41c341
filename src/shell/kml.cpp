#include "shell/kml.h"

namespace skyrell {

void AppendKmlLine(std::string& text, int spaces, std::string_view content) {
    text.append(static_cast<std::size_t>(spaces), ' ');
    text += content;
    text += "\r\n";
}

void AppendKmlIconStyle(std::string& text, int indent, std::string_view scale) {
    constexpr int kStep = 4;
    AppendKmlLine(text, indent, "<IconStyle>");
    AppendKmlLine(text, indent + kStep, "<scale>" + std::string(scale) + "</scale>");
    AppendKmlLine(text, indent + kStep, "<Icon>");
    AppendKmlLine(text, indent + 2 * kStep,
                  "<href>http://maps.google.com/mapfiles/kml/pushpin/ylw-pushpin.png</href>");
    AppendKmlLine(text, indent + kStep, "</Icon>");
    AppendKmlLine(text, indent + kStep,
                  R"(<hotSpot x="20" y="2" xunits="pixels" yunits="pixels"/>)");
    AppendKmlLine(text, indent, "</IconStyle>");
}

}  // namespace skyrell
