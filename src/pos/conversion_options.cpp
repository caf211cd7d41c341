#include "pos/conversion_options.h"

#include "geodesy/module_gauss.h"

namespace skyrell {

Status ApplyEllipsoid(ConversionOptions& options) {
    const auto ellipsoid = module_gauss::EllipsoidOf(options.coordinateSystem);
    if (!ellipsoid) return Status::Fail("未知的坐标系统：" + options.coordinateSystem);
    options.semiMajorAxis = ellipsoid->a;
    options.semiMinorAxis = ellipsoid->b;
    return Status::Ok();
}

const std::vector<OptionChoice>& CoordinateSystemChoices() {
    static const std::vector<OptionChoice> kChoices = {
        {"1954年北京坐标系", "1954"},
        {"1980西安坐标系", "1980"},
        {"2000国家大地坐标系", "2000"},
        {"WGS84世界坐标系", "1984"},
    };
    return kChoices;
}

const std::vector<OptionChoice>& ZoneWidthChoices() {
    static const std::vector<OptionChoice> kChoices = {{"3°分带", "3"}, {"6°分带", "6"}};
    return kChoices;
}

const std::vector<std::string>& TextScaleChoices() {
    static const std::vector<std::string> kChoices = {"500",    "1000",   "2000",   "5000",
                                                      "10000",  "25000",  "50000",  "100000",
                                                      "200000", "500000", "1000000"};
    return kChoices;
}

}  // namespace skyrell
