#include "check/rough_position.h"

#include <initializer_list>
#include <vector>

#include "shell/files.h"
#include "shell/kml.h"
#include "shell/text.h"

namespace skyrell {

std::optional<RoughPosition> ConvertRoughPosition(std::string_view latitudeText,
                                                  std::string_view longitudeText) {
    const AngleForm form = AngleFormOf(latitudeText);
    const auto latitude = AngleDegrees(latitudeText, form);
    const auto longitude = AngleDegrees(longitudeText, form);
    if (!latitude || !longitude) return std::nullopt;
    return RoughPosition{*latitude, *longitude};
}

std::string RoughPositionKml(std::string_view pointName, const RoughPosition& position) {
    const std::string name = XmlEscaped(pointName);
    const std::string lon = GeneralNumberText(position.longitude);
    const std::string lat = GeneralNumberText(position.latitude);
    std::string document;
    auto lines = [&document](int spaces, std::initializer_list<std::string> texts) {
        for (const auto& text : texts) AppendKmlLine(document, spaces, text);
    };
    lines(0, {std::string(kKmlDeclaration), std::string(kKmlRoot), "<Document>"});
    lines(1, {"<name>" + name + ".kml</name>", R"(<StyleMap id="m_ylw-pushpin">)"});
    lines(5, {"<Pair>"});
    lines(9, {"<key>normal</key>", "<styleUrl>#s_ylw-pushpin</styleUrl>"});
    lines(5, {"</Pair>", "<Pair>"});
    lines(9, {"<key>highlight</key>", "<styleUrl>#s_ylw-pushpin_hl</styleUrl>"});
    lines(5, {"</Pair>"});
    lines(1, {"</StyleMap>", R"(<Style id="s_ylw-pushpin_hl">)"});
    AppendKmlIconStyle(document, 5, "1.3");
    lines(1, {"</Style>", R"(<Style id="s_ylw-pushpin">)"});
    AppendKmlIconStyle(document, 5, "1.1");
    lines(1, {"</Style>", "<Placemark>"});
    lines(5, {"<name>" + name + "</name>", "<LookAt>"});
    lines(9, {"<longitude>" + lon + "</longitude>", "<latitude>" + lat + "</latitude>",
              "<altitude>0</altitude>", "<heading>-2.875176428932806</heading>",
              "<tilt>27.73659926527398</tilt>", "<range>278.4444133347007</range>",
              "<gx:altitudeMode>relativeToSeaFloor</gx:altitudeMode>"});
    lines(5, {"</LookAt>", "<styleUrl>#m_ylw-pushpin</styleUrl>", "<Point>"});
    lines(9, {"<coordinates>" + lon + "," + lat + ",0</coordinates>"});
    lines(5, {"</Point>"});
    lines(1, {"</Placemark>"});
    lines(0, {"</Document>", "</kml>"});
    // The document has no line end after its last line.
    document.resize(document.size() - 2);
    return document;
}

std::filesystem::path RoughPositionPath(const std::filesystem::path& sortieFolder,
                                        std::string_view pointName) {
    return sortieFolder / PathOf(std::string(pointName) + ".kml");
}

Status WriteRoughPosition(const std::filesystem::path& file, std::string_view pointName,
                          const RoughPosition& position) {
    return WriteUtf8File(RoughPositionKml(pointName, position), file, true);
}

}  // namespace skyrell
