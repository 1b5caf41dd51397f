#include "shell/SkinResources.h"

#include "platform/foundation/Bundle.h"

#include <iostream>

platform::ImageRef SkinResources::image(const std::string& name) {
    const auto path = platform::Bundle::main().pathForResource(name, "png");
    return path ? platform::Image::contentsOfFile(*path) : nullptr;
}

std::string SkinResources::skinSuffix(long long skin) {
    // The preference is read as the platform's int.
    const std::string suffix = std::to_string(static_cast<int>(skin));
    const platform::Bundle bundle = platform::Bundle::main();
    if (bundle.pathForResource("frame" + suffix, "png") || !bundle.pathForResource("frame0", "png"))
        return suffix;
    std::cerr << "morvane: there is no skin " << suffix << " (frame" << suffix
              << ".png is not shipped); showing skin 0\n";
    return "0";
}
