#pragma once
// The pieces every KML document of the program shares: the declaration, the
// root element with its namespaces, and the yellow push-pin icon style.

#include <string>
#include <string_view>

namespace skyrell {

inline constexpr std::string_view kKmlDeclaration = R"(<?xml version="1.0" encoding="UTF-8"?>)";
inline constexpr std::string_view kKmlRoot =
    R"(<kml xmlns="http://www.opengis.net/kml/2.2" xmlns:gx="http://www.google.com/kml/ext/2.2" )"
    R"(xmlns:kml="http://www.opengis.net/kml/2.2" xmlns:atom="http://www.w3.org/2005/Atom">)";

// Appends `content` after `spaces` spaces, ended by CR LF.
void AppendKmlLine(std::string& text, int spaces, std::string_view content);

// Appends the seven lines of an <IconStyle> block with the push-pin icon at
// the given scale: the block's own lines at `indent` spaces, its children at
// indent + 4 and the icon address at indent + 8.
void AppendKmlIconStyle(std::string& text, int indent, std::string_view scale);

}  // namespace skyrell
