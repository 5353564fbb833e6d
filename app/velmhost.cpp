// velmhost: the command-line host program.
#include <cstdio>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    std::puts("velmhost");
    return 0;
}
