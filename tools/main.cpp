#include <cstdio>

int main(int argc, char** argv) {
    (void)argv;
    if (argc < 2) {
        std::fprintf(stderr, "usage: vemo-cli COMMAND [ARGS]\n");
        return 1;
    }
    std::fprintf(stderr, "vemo-cli: unknown command\n");
    return 1;
}
