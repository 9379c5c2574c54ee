#include <cstdio>
int main() {
    std::fputs("usage: vorlatek-host info|render|chunk ...\n", stderr);
    return 1;
}
