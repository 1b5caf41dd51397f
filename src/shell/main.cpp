#include <cstdio>

int main() {
    std::printf("morvane %s\n", MORVANE_VERSION);
    return 0;
}
