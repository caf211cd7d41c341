#pragma once
// Point names of the files that belong to a control point in a sortie folder.

#include <string>
#include <string_view>

namespace skyrell {

// Point name of a pricked-point photo: the file name up to the first ".", then
// up to the first "_" ("P0001_IMG_0286.jpg" -> "P0001").
std::string PrickedPhotoPointName(std::string_view fileName);
// Point name of a point record, a site photo or a screenshot: the file name up
// to the first "." ("P0001.doc" -> "P0001").
std::string PointNameOfFile(std::string_view fileName);

}  // namespace skyrell
