#include "shell/MorvaneAppDelegate.h"

#include "capture/FilmLook.h"

namespace {

platform::ImageRef applyLook(int number, const platform::ImageRef& image) {
    return image ? FilmLook::number(number).apply(*image) : nullptr;
}

} // namespace

platform::ImageRef MorvaneAppDelegate::effect1(const platform::ImageRef& image) {
    return applyLook(1, image);
}

platform::ImageRef MorvaneAppDelegate::effect2(const platform::ImageRef& image) {
    return applyLook(2, image);
}

platform::ImageRef MorvaneAppDelegate::effect3(const platform::ImageRef& image) {
    return applyLook(3, image);
}

platform::ImageRef MorvaneAppDelegate::effect4(const platform::ImageRef& image) {
    return applyLook(4, image);
}

platform::ImageRef MorvaneAppDelegate::effect5(const platform::ImageRef& image) {
    return applyLook(5, image);
}

platform::ImageRef MorvaneAppDelegate::effect6(const platform::ImageRef& image) {
    return applyLook(6, image);
}

platform::ImageRef MorvaneAppDelegate::effect7(const platform::ImageRef& image) {
    return applyLook(7, image);
}

platform::ImageRef MorvaneAppDelegate::effect8(const platform::ImageRef& image) {
    return applyLook(8, image);
}

platform::ImageRef MorvaneAppDelegate::effect9(const platform::ImageRef& image) {
    return applyLook(9, image);
}

platform::ImageRef MorvaneAppDelegate::effect10(const platform::ImageRef& image) {
    return applyLook(10, image);
}
