#include "platform/graphics/SurfaceHandle.h"

#include "platform/graphics/SurfacePool.h"

namespace platform {

SurfaceHandle makeArgbSurface(int width, int height, bool cleared) {
    return SurfacePool::make(width, height, cleared);
}

} // namespace platform
