#include "project/control_points.h"

#include "shell/text.h"

namespace skyrell {

std::string PrickedPhotoPointName(std::string_view fileName) {
    return SplitFields(PointNameOfFile(fileName), "_").Items.front();
}

std::string PointNameOfFile(std::string_view fileName) {
    return SplitFields(fileName, ".").Items.front();
}

}  // namespace skyrell
