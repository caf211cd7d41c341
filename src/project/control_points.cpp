#include "project/control_points.h"

#include "shell/text.h"

namespace skyrell {

std::string PrickedPhotoPointName(std::string_view fileName) {
    return SplitFields(PointNameOfFile(fileName), "_", 1).items.front();
}

std::string PointNameOfFile(std::string_view fileName) {
    return SplitFields(fileName, ".", 1).items.front();
}

}  // namespace skyrell
