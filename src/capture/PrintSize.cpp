#include "capture/PrintSize.h"

namespace {

constexpr int kStandardPrintSide = 750;
constexpr int kFirstGenerationSide = 1200;
constexpr int kLaterModelSide = 1500;

} // namespace

bool PrintSize::isFirstGenerationModel(std::string_view platformString) {
    return platformString == "iPhone1,1" || platformString == "iPhone1,2";
}

int PrintSize::librarySquareSide(std::string_view platformString) {
    return isFirstGenerationModel(platformString) ? kFirstGenerationSide : kLaterModelSide;
}

PrintSize PrintSize::forModel(bool isHighQuality, std::string_view platformString) {
    const int modelSide = librarySquareSide(platformString);
    return PrintSize{isHighQuality ? modelSide : kStandardPrintSide, modelSide};
}
