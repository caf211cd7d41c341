#pragma once
// Names of the sortie folder tree that the data-processing and data-check
// tools share: project root / date folder / operator / "第N架次" / six sub-folders.

#include <array>
#include <string_view>

namespace skyrell {

inline constexpr std::string_view kPrickedPhotoFolder = "刺点片";
inline constexpr std::string_view kPointRecordFolder = "点之记";
inline constexpr std::string_view kSitePhotoFolder = "现场照片";
inline constexpr std::string_view kRawDataFolder = "原始数据";
inline constexpr std::string_view kCoordinateResultFolder = "坐标成果";
inline constexpr std::string_view kProcessDataFolder = "过程数据";

// The six sub-folders in the order in which a new sortie creates them.
inline constexpr std::array<std::string_view, 6> kSortieSubFolders = {
    kPrickedPhotoFolder, kPointRecordFolder,      kSitePhotoFolder,
    kRawDataFolder,      kCoordinateResultFolder, kProcessDataFolder};

// The files of a point: pricked-point photos and point screenshots.
inline constexpr std::string_view kPointPhotoPattern = "P*.jpg";

inline constexpr std::string_view kCoordinateResultFile = "坐标成果.csv";
inline constexpr std::string_view kPointDescriptionFile = "点位描述.txt";
inline constexpr std::string_view kCheckReportFile = "自动检查报告.txt";

}  // namespace skyrell
