#include "platform/graphics/BlendMode.h"

namespace platform {

BlendMode blendModeFromNumber(int number) {
    if (number < static_cast<int>(BlendMode::Normal) ||
        number > static_cast<int>(BlendMode::PlusLighter))
        return BlendMode::Normal;
    return static_cast<BlendMode>(number);
}

} // namespace platform
