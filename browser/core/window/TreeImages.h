// Positions in the tree's image list. The order is fixed: a listed entry's class code is its
// image position.
#pragma once

namespace kestrel::browser {

enum TreeImage : int {
    kImageRoot = 0,
    kImageCountry = 1,
    kImageOrganization = 2,
    kImageOrganizationalUnit = 3,
    kImageAlias = 4,
    kImageUser = 5,
    kImageGroup = 6,
    kImageServer = 7,
    kImageQueue = 8,
    kImagePrintServer = 9,
    kImageVolume = 10,
    kImageBinderyObject = 11,
    kImageProfile = 12,
    kImagePrinter = 13,
    kImageUnknown = 14,
    kImageDisabledRoot = 15,
    kImageWorkstation = 16,
    kImageLocality = 17,
    kImageWorkstationGroup = 18,
};

inline constexpr int kTreeImageCount = 19;

}  // namespace kestrel::browser
