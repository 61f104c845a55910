#include <cstdio>

int main()
{
    std::printf("Zentrova %s\n", ZENTROVA_VERSION);
    return 0;
}
